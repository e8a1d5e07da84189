#include "savefile/BackupRestore.h"

#include <utility>

#include "savefile/FileClaim.h"
#include "savefile/SaveErrors.h"
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
                   const std::string& backup, SaveError& error) {
    const std::string parked = *SwapPathFor(save);
    // Each rename but the last (which the caller makes durable) is made durable before
    // the next: a file system without a journal (FAT, exFAT) may otherwise keep a later
    // rename and lose an earlier one, and with it the version the earlier one moved. A
    // rename that cannot be made durable is undone, as if it had failed.
    const auto durableRename = [&](const std::string& from, const std::string& to) {
        FileStatus renamed = files.RenameToFreeName(from, to);
        if (!renamed.Ok()) return renamed;
        FileStatus synced = files.SyncFolderOf(save);
        if (!synced.Ok()) files.RenameToFreeName(to, from);
        return synced;
    };
    if (const FileStatus parking = durableRename(save, parked); !parking.Ok()) {
        error = {errors::kRestoreSwap, parking.Cause()};
        return false;
    }
    // The rename that failed gives the cause; where its undo failed as well, the cause
    // says where each version is too.
    const auto undone = [&](const FileStatus& failed, bool undoOk) {
        files.SyncFolderOf(save);
        error = {errors::kRestoreSwap, failed.Cause()};
        if (!undoOk)
            error.AddCause("The save is now " + parked + "; the backup is " + backup + ".");
        return false;
    };
    if (const FileStatus moved = durableRename(backup, save); !moved.Ok()) {
        // Another program's save has taken the save's name meanwhile (a game saving
        // by rename): it is newer than the one put aside, which goes as that rename
        // would have replaced it.
        if (moved == FileError::kExists && parkedFile != kNoFile &&
            NameStillRefersTo(files, parked, parkedFile)) {
            files.Remove(parked);
            error = {errors::kRestoreSwap, {}};
            return false;
        }
        return undone(moved, files.RenameToFreeName(parked, save).Ok());
    }
    if (const FileStatus unparked = files.RenameToFreeName(parked, backup); !unparked.Ok()) {
        if (!files.RenameToFreeName(save, backup).Ok()) {
            error = {errors::kRestoreSwap,
                     "The backup is now " + save + "; the save is " + parked + "."};
            return false;
        }
        return undone(unparked, files.RenameToFreeName(parked, save).Ok());
    }
    return true;
}

}  // namespace

namespace {

bool SwapWithBackup(const std::string& savePath, SaveError& error, FileSystem& files);

}  // namespace

bool RestoreBackup(const std::string& givenPath, SaveError& error, FileSystem& files) {
    return SwapWithBackup(files.FinalPath(givenPath), error, files);
}

namespace {

bool SwapWithBackup(const std::string& savePath, SaveError& error, FileSystem& files) {
    const std::optional<std::string> backup = BackupPathFor(savePath);
    if (!backup) {
        error = {errors::kNoEssInName, {}};
        return false;
    }
    if (!ReadyToPutBack(files, savePath, *backup, errors::kRestoreSwap, error)) return false;
    // Both files are claimed before their names change: a running commit or restore
    // has one of them claimed. The save need not load: putting back the backup of a
    // damaged save is what restore is for.
    FileClaim saveClaim(files, savePath), backupClaim(files, *backup);
    FileStatus claimed = saveClaim.Take();
    if (claimed.Ok()) claimed = backupClaim.Take();
    if (!claimed.Ok()) {
        error = {claimed == FileError::kLocked ? errors::kBeingWritten : errors::kUnableToOpenSave,
                 claimed.Cause()};
        return false;
    }
    const FileStatus swapped = files.Exchange(savePath, *backup);
    const bool byRenames = swapped == FileError::kNotSupported;
    if (byRenames) {
        if (!SwapByRenames(files, savePath, saveClaim.Handle(), *backup, error)) return false;
    } else if (!swapped.Ok()) {
        error = {errors::kRestoreSwap, swapped.Cause()};
        return false;
    }
    const FileStatus synced = files.SyncFolderOf(savePath);
    if (synced.Ok()) return true;
    // The folder could not be made durable: the names go back, and the failure is
    // reported. Should they not, the swap stands, as the names say.
    SaveError notUndone;
    const bool undone = byRenames ? SwapByRenames(files, savePath, kNoFile, *backup, notUndone)
                                  : files.Exchange(savePath, *backup).Ok();
    if (!undone) return true;
    files.SyncFolderOf(savePath);
    error = {errors::kRestoreSwap, synced.Cause()};
    return false;
}

}  // namespace
}  // namespace quellhart
