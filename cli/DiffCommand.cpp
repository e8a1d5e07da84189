// `diff`: what differs between two saves (savefile/SaveDiff.h), as text or JSON.
#include <iostream>
#include <map>
#include <optional>
#include <sstream>

#include "cli/Commands.h"
#include "cli/ErrorLines.h"
#include "cli/Json.h"
#include "cli/SaveReport.h"
#include "codepage/CodePage.h"
#include "savefile/SaveDiff.h"
#include "savefile/SaveGame.h"
#include "savefile/ValueText.h"

namespace quellhart::cli {
namespace {

std::string NameList(const std::vector<std::string>& names) {
    std::string list;
    for (const std::string& name : names) list += (list.empty() ? "" : ", ") + JsonString(name);
    return "[" + list + "]";
}

std::string AsJson(const SaveDiff& diff) {
    std::ostringstream out;
    out << "{\"format\": " << kJsonFormat << ", \"same\": " << (diff.Same() ? "true" : "false")
        << ", \"codePage\": " << SaveTextCodePage().Number() << ", \"player\": {";
    for (size_t i = 0; i < diff.texts.size(); ++i)
        out << (i ? ", " : "") << JsonString(diff.texts[i].key)
            << ": {\"old\": " << JsonString(diff.texts[i].before)
            << ", \"new\": " << JsonString(diff.texts[i].after) << "}";
    out << "}, \"chargenClass\": ";
    if (diff.chargenClass)
        out << "{\"old\": " << std::boolalpha << diff.chargenClass->first
            << ", \"new\": " << diff.chargenClass->second << "}";
    else
        out << "null";
    out << ", \"globals\": {\"changed\": [";
    for (size_t i = 0; i < diff.changed.size(); ++i)
        out << (i ? ", " : "") << "{\"name\": " << JsonString(diff.changed[i].name)
            << ", \"old\": " << JsonFloat(diff.changed[i].before)
            << ", \"new\": " << JsonFloat(diff.changed[i].after) << "}";
    out << "], \"onlyInOld\": " << NameList(diff.onlyInOld)
        << ", \"onlyInNew\": " << NameList(diff.onlyInNew) << "}}\n";
    return out.str();
}

}  // namespace

int RunDiff(const Request& request, Console& console) {
    CSaveGame saves[2] = {CSaveGame(console.files), CSaveGame(console.files)};
    for (int i = 0; i < 2; ++i) {
        if (!saves[i].OpenReadOnly(request.files[size_t(i)]) || !saves[i].Load()) {
            console.err << request.files[size_t(i)] << ": " << ErrorLines(saves[i].GetError());
            return kDiffTrouble;
        }
    }
    const SaveDiff diff = Compare(saves[0], saves[1], ShownText);
    console.out << (request.json ? AsJson(diff) : DiffAsText(diff));
    return diff.Same() ? kDiffSame : kDiffDiffers;
}

}  // namespace quellhart::cli
