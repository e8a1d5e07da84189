// `restore`: swaps a save and its backup. The backup must load before anything is
// touched; the swap goes through a temporary name in the same folder, and a failed
// step puts back what the steps before it did.
#include <filesystem>
#include <iostream>
#include <random>

#include "Commands.h"
#include "FileSync.h"
#include "SaveErrors.h"
#include "SaveGame.h"
#include "SiblingPaths.h"

namespace quellhart::cli {
namespace {

namespace fs = std::filesystem;

fs::path UnusedNameBeside(const fs::path& file) {
    std::random_device seed;
    for (;;) {
        fs::path candidate = file;
        candidate += ".swap-" + std::to_string(seed());
        if (!fs::exists(candidate)) return candidate;
    }
}

bool Rename(const fs::path& from, const fs::path& to) {
    std::error_code error;
    fs::rename(from, to, error);
    return !error;
}

}  // namespace

int RunRestore(const Request& request, Console& console) {
    const std::string& file = request.files[0];
    const auto backup = BackupPathFor(file);
    if (!backup) {
        console.err << errors::kNoEssInName << "\n";
        return kExitError;
    }
    CSaveGame backupSave;
    if (!backupSave.OpenReadOnly(*backup) || !backupSave.Load()) {
        console.err << *backup << ": " << backupSave.GetErrorText() << "\n";
        return kExitError;
    }
    if (!fs::is_regular_file(file)) {
        console.err << errors::kUnableToOpenSave << "\n";
        return kExitError;
    }
    if (!Confirm("Swap " + file + " with its backup " + *backup + "?", request, console))
        return kExitDeclined;

    const fs::path parked = UnusedNameBeside(file);
    bool swapped = false;
    if (Rename(file, parked)) {
        if (!Rename(*backup, file)) {
            Rename(parked, file);
        } else if (!Rename(parked, *backup)) {
            Rename(file, *backup);
            Rename(parked, file);
        } else {
            swapped = true;
        }
    }
    if (!swapped) {
        console.err << "Error swapping " << file << " and " << *backup
                    << "; both keep their old contents.\n";
        return kExitError;
    }
    SyncFolderToDisk(file);
    console.out << "Restored " << *backup << " as " << file << "; the previous save is now "
                << *backup << ".\n";
    return kExitOk;
}

}  // namespace quellhart::cli
