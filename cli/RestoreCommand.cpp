// `restore`: swaps a save and its backup through the save library, which checks that
// the backup loads and that no commit of the save is running, and makes the swap one
// step where the file system can; with --version N, puts back that earlier version,
// keeping the save it replaces as a version.
#include <iostream>

#include "cli/Commands.h"
#include "cli/ErrorLines.h"
#include "cli/SaveReport.h"
#include "savefile/BackupRestore.h"
#include "savefile/SaveErrors.h"
#include "savefile/SaveHistory.h"
#include "savefile/SiblingPaths.h"

namespace quellhart::cli {
namespace {

int RestoreVersionNumbered(const std::string& file, int number, const Request& request,
                           Console& console) {
    const std::optional<int> keep = HistoryKeep(request, console);
    if (!keep) return kExitUsage;
    std::vector<SaveVersion> versions;
    if (const FileStatus listed = ListVersions(console.files, file, versions); !listed.Ok()) {
        console.err << ErrorLines({errors::kHistoryUnreadable, listed.Cause()});
        return kExitError;
    }
    if (size_t(number) > versions.size()) {
        console.err << "quellhart-cli: " << ForTerminal(file) << " has no version " << number
                    << "; " << versions.size() << (versions.size() == 1 ? " is" : " are")
                    << " kept (quellhart-cli history " << ForTerminal(file) << " lists them)\n";
        return kExitUsage;
    }
    const SaveVersion& version = versions[size_t(number) - 1];
    const std::string when = VersionTimeText(version.timeNs);
    if (!Confirm("Put back version " + std::to_string(number) + " of " + file + " (" + when + ", " +
                     version.path + ")? The save now is kept as a version.",
                 request, console))
        return kExitDeclined;
    SaveError error;
    std::string keptAs;
    SaveError note;
    if (!RestoreVersion(file, version, *keep, error, keptAs, console.files, &note)) {
        console.err << ErrorLines(error);
        return kExitError;
    }
    if (!note.text.empty()) console.err << ErrorLines(note);
    console.out << "Restored version " << number << " (" << when << ") as " << ForTerminal(file);
    if (!keptAs.empty()) console.out << "; the save it replaced is now " << ForTerminal(keptAs);
    console.out << ".\n";
    return kExitOk;
}

}  // namespace

int RunRestore(const Request& request, Console& console) {
    // A save that is a link is swapped where it lies: the question and the report name
    // the files that change names.
    const std::string file = console.files.FinalPath(request.files[0]);
    const auto backup = BackupPathFor(file);
    if (!backup) {
        console.err << errors::kNoEssInName << "\n";
        return kExitError;
    }
    if (std::string version = VersionNotToEdit(file); !version.empty()) {
        console.err << ErrorLines({errors::kVersionNotASave, std::move(version)});
        return kExitError;
    }
    if (request.version) return RestoreVersionNumbered(file, *request.version, request, console);
    if (!HasBackup(file, console.files)) {
        console.err << "There is no backup (" << ForTerminal(*backup) << ") to restore.\n";
        return kExitError;
    }
    const std::optional<int> keep = HistoryKeep(request, console);
    if (!keep) return kExitUsage;
    if (!Confirm("Swap " + file + " with its backup " + *backup + "?", request, console))
        return kExitDeclined;
    SaveError error, note;
    if (!RestoreBackup(file, *keep, error, console.files, &note)) {
        console.err << ErrorLines(error);
        return kExitError;
    }
    if (!note.text.empty()) console.err << ErrorLines(note);
    // The swap has happened: the exit code says so even if nothing can be printed.
    console.out << "Restored " << ForTerminal(*backup) << " as " << ForTerminal(file)
                << "; the previous save is now " << ForTerminal(*backup) << ".\n";
    return kExitOk;
}

}  // namespace quellhart::cli
