#include "savefile/BackupRestore.h"

#include "savefile/FileClaim.h"
#include "savefile/SaveErrors.h"
#include "savefile/SaveGame.h"
#include "savefile/SiblingPaths.h"
#include "savefile/SwapRecovery.h"

namespace quellhart {
namespace {

// Where names cannot be exchanged in one step: three renames through ".swap", a name
// no operation takes for a leftover (a stop between them is put right by the next
// Open), each undone when a later one fails, none replacing a file. When an undo
// fails too, `error` says where each version is. `parkedFile` is the save, claimed,
// which goes when another program's save takes its name meanwhile; with kNoFile
// nothing goes.
bool SwapByRenames(FileSystem& files, const std::string& save, FileHandle parkedFile,
                   const std::string& backup, std::string& error) {
    const std::string parked = *SwapPathFor(save);
    if (files.RenameToFreeName(save, parked) != FileError::kNone) {
        error = errors::kRestoreSwap;
        return false;
    }
    const auto undone = [&](bool undoOk) {
        error = errors::kRestoreSwap;
        if (!undoOk) error += "\nThe save is now " + parked + "; the backup is " + backup + ".";
        return false;
    };
    if (const FileError moved = files.RenameToFreeName(backup, save); moved != FileError::kNone) {
        // Another program's save has taken the save's name meanwhile (a game saving
        // by rename): it is newer than the one put aside, which goes as that rename
        // would have replaced it.
        if (moved == FileError::kExists && parkedFile != kNoFile &&
            NameStillRefersTo(files, parked, parkedFile)) {
            files.Remove(parked);
            error = errors::kRestoreSwap;
            return false;
        }
        return undone(files.RenameToFreeName(parked, save) == FileError::kNone);
    }
    if (files.RenameToFreeName(parked, backup) != FileError::kNone) {
        const bool backupBack = files.RenameToFreeName(save, backup) == FileError::kNone;
        if (!backupBack) {
            error = errors::kRestoreSwap;
            error += "\nThe backup is now " + save + "; the save is " + parked + ".";
            return false;
        }
        return undone(files.RenameToFreeName(parked, save) == FileError::kNone);
    }
    return true;
}

}  // namespace

namespace {

bool SwapWithBackup(const std::string& savePath, std::string& error, FileSystem& files);

}  // namespace

// The error's first line is the program's; the system's reason, where a file call
// failed for one, is the second.
bool RestoreBackup(const std::string& givenPath, std::string& error, FileSystem& files) {
    files.TakeLastFailure();
    if (SwapWithBackup(files.FinalPath(givenPath), error, files)) return true;
    if (const std::string cause = files.TakeLastFailure(); !cause.empty()) error += "\n" + cause;
    return false;
}

namespace {

bool SwapWithBackup(const std::string& savePath, std::string& error, FileSystem& files) {
    const std::optional<std::string> backup = BackupPathFor(savePath);
    if (!backup) {
        error = errors::kNoEssInName;
        return false;
    }
    if (const std::string clash = SiblingOfAnotherSave(files, savePath); !clash.empty()) {
        error = std::string(errors::kRestoreSwap) + "\n" + clash;
        return false;
    }
    FinishInterruptedSwaps(files, savePath);
    {
        CSaveGame backupSave(files);
        if (!backupSave.OpenReadOnly(*backup) || !backupSave.Load()) {
            error = *backup + ": " + backupSave.GetErrorText();
            if (!backupSave.GetErrorCause().empty()) error += "\n" + backupSave.GetErrorCause();
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
    const FileError swapped = files.Exchange(savePath, *backup);
    const bool byRenames = swapped == FileError::kNotSupported;
    if (byRenames) {
        if (!SwapByRenames(files, savePath, saveClaim.Handle(), *backup, error)) return false;
    } else if (swapped != FileError::kNone) {
        error = errors::kRestoreSwap;
        return false;
    }
    if (files.SyncFolderOf(savePath) == FileError::kNone) return true;
    // The folder could not be made durable: the names go back, and the failure is
    // reported. Should they not, the swap stands, as the names say.
    std::string notUndone;
    const bool undone = byRenames ? SwapByRenames(files, savePath, kNoFile, *backup, notUndone)
                                  : files.Exchange(savePath, *backup) == FileError::kNone;
    if (!undone) return true;
    files.SyncFolderOf(savePath);
    error = errors::kRestoreSwap;
    return false;
}

}  // namespace
}  // namespace quellhart
