// `restore`: swaps a save and its backup through the save library, which checks that
// the backup loads and that no commit of the save is running, and makes the swap one
// step where the file system can.
#include <iostream>

#include "cli/Commands.h"
#include "cli/ErrorLines.h"
#include "savefile/BackupRestore.h"
#include "savefile/SaveErrors.h"
#include "savefile/SiblingPaths.h"

namespace quellhart::cli {

int RunRestore(const Request& request, Console& console) {
    // A save that is a link is swapped where it lies: the question and the report name
    // the files that change names.
    const std::string file = console.files.FinalPath(request.files[0]);
    const auto backup = BackupPathFor(file);
    if (!backup) {
        console.err << errors::kNoEssInName << "\n";
        return kExitError;
    }
    if (!HasBackup(file, console.files)) {
        console.err << *backup << ": " << errors::kUnableToOpenSave << "\n";
        return kExitError;
    }
    if (!Confirm("Swap " + file + " with its backup " + *backup + "?", request, console))
        return kExitDeclined;
    SaveError error;
    if (!RestoreBackup(file, error, console.files)) {
        console.err << ErrorLines(error);
        return kExitError;
    }
    // The swap has happened: the exit code says so even if nothing can be printed.
    console.out << "Restored " << *backup << " as " << file << "; the previous save is now "
                << *backup << ".\n";
    return kExitOk;
}

}  // namespace quellhart::cli
