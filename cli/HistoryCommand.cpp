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

struct ListedVersion {
    SaveVersion version;
    VersionChanges changes;
};

std::vector<ListedVersion> WithChanges(const std::vector<SaveVersion>& versions,
                                       const std::string& file, Console& console) {
    const std::vector<VersionChanges> changes =
        CompareVersions(console.files, file, versions, ShownText);
    std::vector<ListedVersion> listed;
    for (size_t i = 0; i < versions.size(); ++i) listed.push_back({versions[i], changes[i]});
    return listed;
}

std::string Indented(const std::string& lines) {
    std::istringstream in(lines);
    std::string out, line;
    while (std::getline(in, line)) out += "    " + line + "\n";
    return out;
}

std::string AsText(const std::vector<ListedVersion>& listed, const std::string& file) {
    std::ostringstream out;
    if (listed.empty()) {
        out << "No earlier versions of " << ForTerminal(file) << " are kept.\n";
        return out.str();
    }
    out << "Earlier versions of " << ForTerminal(file)
        << ", oldest first, each with what changed in the next:\n";
    for (size_t i = 0; i < listed.size(); ++i) {
        const SaveVersion& v = listed[i].version;
        out << (i + 1) << "  " << VersionTimeText(v.timeNs) << "  " << v.bytes << " bytes  "
            << ForTerminal(v.path) << (v.original ? "  (the original)" : "")
            << (v.backup ? "  (the backup)" : "") << "\n";
        if (!listed[i].changes.problem.empty())
            out << "    does not load: " << listed[i].changes.problem << "\n";
        else if (!listed[i].changes.toNext)
            out << "    (the next does not load)\n";
        else if (listed[i].changes.toNext->Same())
            out << "    (nothing changed)\n";
        else
            out << Indented(DiffAsText(*listed[i].changes.toNext));
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

std::string AsJson(const std::vector<ListedVersion>& listed, const std::string& file) {
    std::ostringstream out;
    out << "{\"format\": " << kJsonFormat << ", \"save\": " << JsonString(file)
        << ", \"versions\": [";
    for (size_t i = 0; i < listed.size(); ++i) {
        const SaveVersion& v = listed[i].version;
        out << (i ? ", " : "") << "{\"version\": " << (i + 1)
            << ", \"path\": " << JsonString(v.path)
            << ", \"time\": " << JsonString(VersionTimeText(v.timeNs)) << ", \"bytes\": " << v.bytes
            << ", \"original\": " << (v.original ? "true" : "false")
            << ", \"backup\": " << (v.backup ? "true" : "false") << ", \"changes\": "
            << (listed[i].changes.toNext ? ChangesAsJson(*listed[i].changes.toNext) : "null");
        if (!listed[i].changes.problem.empty())
            out << ", \"error\": " << JsonString(listed[i].changes.problem);
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
    const std::vector<ListedVersion> listed = WithChanges(versions, file, console);
    console.out << (request.json ? AsJson(listed, file) : AsText(listed, file));
    return kExitOk;
}

}  // namespace quellhart::cli
