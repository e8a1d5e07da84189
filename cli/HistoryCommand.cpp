// `history`: the earlier versions of a save, oldest first and the backup last, each
// with what changed from it to the next version (from the backup: to the save). Each
// version is loaded once.
#include <iostream>
#include <optional>
#include <sstream>

#include "cli/Commands.h"
#include "cli/ErrorLines.h"
#include "cli/Json.h"
#include "cli/SaveReport.h"
#include "savefile/SaveHistory.h"
#include "savefile/SiblingPaths.h"

namespace quellhart::cli {
namespace {

// The versions, and what changed after each, side by side.
struct Listing {
    const std::vector<SaveVersion>& versions;
    std::vector<ChangesAfterVersion> changes;
};

std::string Indented(const std::string& lines) {
    std::istringstream in(lines);
    std::string out, line;
    while (std::getline(in, line)) out += "    " + line + "\n";
    return out;
}

std::string AsText(const Listing& listed, const std::string& file) {
    std::ostringstream out;
    if (listed.versions.empty()) {
        out << "No earlier versions of " << ForTerminal(file) << " are kept.\n";
        return out.str();
    }
    out << "Earlier versions of " << ForTerminal(file)
        << ", oldest first, each with what changed in the next:\n";
    for (size_t i = 0; i < listed.versions.size(); ++i) {
        const SaveVersion& v = listed.versions[i];
        out << (i + 1) << "  " << VersionTimeText(v.timeNs) << "  " << v.bytes << " bytes  "
            << ForTerminal(v.path) << (v.original ? "  (the original)" : "")
            << (v.backup ? "  (the backup)" : "") << "\n";
        if (!listed.changes[i].problem.empty())
            out << "    does not load: " << listed.changes[i].problem << "\n";
        else if (!listed.changes[i].toNext)
            out << "    (the next does not load)\n";
        else if (listed.changes[i].toNext->Same())
            out << "    (nothing changed)\n";
        else
            out << Indented(DiffAsText(*listed.changes[i].toNext));
    }
    return out.str();
}

std::string ChangesAsJson(const SaveDiff& diff) {
    std::vector<std::string> items;
    for (const TextChange& t : diff.texts)
        items.push_back("{\"what\": " + JsonString(t.key) + ", \"old\": " + JsonString(t.before) +
                        ", \"new\": " + JsonString(t.after) + "}");
    if (diff.chargenClass)
        items.push_back(std::string("{\"what\": \"chargenClass\", \"old\": ") +
                        (diff.chargenClass->first ? "true" : "false") +
                        ", \"new\": " + (diff.chargenClass->second ? "true" : "false") + "}");
    for (const GlobChange& g : diff.changed)
        items.push_back("{\"what\": \"global\", \"name\": " + JsonString(g.name) + ", \"old\": " +
                        JsonFloat(g.before) + ", \"new\": " + JsonFloat(g.after) + "}");
    for (const std::string& name : diff.onlyInOld)
        items.push_back("{\"what\": \"onlyInOld\", \"name\": " + JsonString(name) + "}");
    for (const std::string& name : diff.onlyInNew)
        items.push_back("{\"what\": \"onlyInNew\", \"name\": " + JsonString(name) + "}");
    std::string json = "[";
    for (size_t i = 0; i < items.size(); ++i) json += (i ? ", " : "") + items[i];
    return json + "]";
}

std::string AsJson(const Listing& listed, const std::string& file) {
    std::ostringstream out;
    out << "{\"format\": " << kJsonFormat << ", \"save\": " << JsonString(file)
        << ", \"versions\": [";
    for (size_t i = 0; i < listed.versions.size(); ++i) {
        const SaveVersion& v = listed.versions[i];
        out << (i ? ", " : "") << "{\"version\": " << (i + 1)
            << ", \"path\": " << JsonString(v.path)
            << ", \"time\": " << JsonString(VersionTimeText(v.timeNs)) << ", \"bytes\": " << v.bytes
            << ", \"original\": " << (v.original ? "true" : "false")
            << ", \"backup\": " << (v.backup ? "true" : "false") << ", \"changes\": "
            << (listed.changes[i].toNext ? ChangesAsJson(*listed.changes[i].toNext) : "null");
        if (!listed.changes[i].problem.empty())
            out << ", \"error\": " << JsonString(listed.changes[i].problem);
        out << "}";
    }
    out << "]}\n";
    return out.str();
}

}  // namespace

int RunHistory(const Request& request, Console& console) {
    const std::string file = console.files.FinalPath(request.files[0]);
    if (!HistoryPathFor(file)) {
        console.err << errors::kNoEssInName << "\n";
        return kExitError;
    }
    std::vector<SaveVersion> versions;
    if (const FileStatus listed = ListVersions(console.files, file, versions); !listed.Ok()) {
        console.err << ErrorLines({errors::kHistoryUnreadable, listed.Cause()});
        return kExitError;
    }
    const Listing listed{versions, CompareVersions(console.files, file, versions, ShownText)};
    console.out << (request.json ? AsJson(listed, file) : AsText(listed, file));
    return kExitOk;
}

}  // namespace quellhart::cli
