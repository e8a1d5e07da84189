#include "savefile/BackupRestore.h"

#include "savefile/FileClaim.h"
#include "savefile/SaveErrors.h"
#include "savefile/SaveGame.h"
#include "savefile/SiblingPaths.h"

namespace quellhart {
namespace {

// Where names cannot be exchanged in one step: three renames through the work file's
// name, each undone when a later one fails. The caller holds the save's lock, so no
// commit uses that name meanwhile.
bool SwapByRenames(FileSystem& files, const std::string& save, const std::string& backup,
                   const std::string& parked) {
    FileInfo existing;
    if (files.DescribePath(parked, false, existing) == FileError::kNone) {
        if (existing.kind != FileKind::kRegular || files.Remove(parked) != FileError::kNone)
            return false;
    }
    if (files.Rename(save, parked) != FileError::kNone) return false;
    if (files.Rename(backup, save) != FileError::kNone) {
        files.Rename(parked, save);
        return false;
    }
    if (files.Rename(parked, backup) != FileError::kNone) {
        files.Rename(save, backup);
        files.Rename(parked, save);
        return false;
    }
    return true;
}

}  // namespace

bool RestoreBackup(const std::string& savePath, std::string& error, FileSystem& files) {
    const std::optional<std::string> backup = BackupPathFor(savePath);
    if (!backup) {
        error = errors::kNoEssInName;
        return false;
    }
    {
        CSaveGame backupSave(files);
        if (!backupSave.OpenReadOnly(*backup) || !backupSave.Load()) {
            error = *backup + ": " + backupSave.GetErrorText();
            return false;
        }
    }
    // Both files are claimed before their names change: a running commit or restore
    // has one of them claimed. The save need not load: putting back the backup of a
    // damaged save is what restore is for.
    FileClaim saveClaim(files, savePath), backupClaim(files, *backup);
    FileError claimed = saveClaim.Take();
    if (claimed == FileError::kNone) claimed = backupClaim.Take();
    if (claimed != FileError::kNone) {
        error = claimed == FileError::kLocked ? errors::kBeingWritten : errors::kUnableToOpenSave;
        return false;
    }
    FileError swapped = files.Exchange(savePath, *backup);
    if (swapped == FileError::kNotSupported)
        swapped = SwapByRenames(files, savePath, *backup, *WorkPathFor(savePath))
                      ? FileError::kNone
                      : FileError::kFailed;
    if (swapped != FileError::kNone) {
        error = errors::kRestoreSwap;
        return false;
    }
    files.SyncFolderOf(savePath);
    return true;
}

}  // namespace quellhart
