#include "savefile/BackupRestore.h"

#include <utility>

#include "savefile/FileClaim.h"
#include "savefile/SaveErrors.h"
#include "savefile/SaveReplace.h"
#include "savefile/SiblingPaths.h"
#include "savefile/SwapRecovery.h"

namespace quellhart {
namespace {

bool SwapWithBackup(const std::string& savePath, int keep, SaveError& error, FileSystem& files,
                    SaveError* note);

}  // namespace

bool RestoreBackup(const std::string& givenPath, int keep, SaveError& error, FileSystem& files,
                   SaveError* note) {
    return SwapWithBackup(files.FinalPath(givenPath), keep, error, files, note);
}

namespace {

bool SwapWithBackup(const std::string& savePath, int keep, SaveError& error, FileSystem& files,
                    SaveError* note) {
    const std::optional<std::string> backup = BackupPathFor(savePath);
    if (!backup) {
        error = {errors::kNoEssInName, {}};
        return false;
    }
    if (!ReadyToPutBack(files, savePath, *backup, keep, errors::kRestoreSwap, error)) return false;
    // Both files are claimed before their names change: a running commit or restore
    // has one of them claimed. The save need not load: putting back the backup of a
    // damaged save is what restore is for.
    FileClaim saveClaim(files, savePath), backupClaim(files, *backup);
    FileStatus claimed = saveClaim.Take();
    if (claimed.Ok() &&
        SecondNameOfSave(files, *backup, saveClaim.Handle(), errors::kRestoreSwap, error))
        return false;
    if (claimed.Ok()) claimed = backupClaim.Take();
    if (!claimed.Ok()) {
        error = {claimed == FileError::kLocked ? errors::kBeingWritten : errors::kUnableToOpenSave,
                 claimed.Cause()};
        return false;
    }
    ReplaceOutcome swapped = ExchangeWithBackup(files, savePath, *backup, saveClaim.Handle());
    if (!swapped.done) error = std::move(swapped.error);
    if (swapped.done && note && saveClaim.WithoutLock()) *note = {errors::kSaveNotLocked, {}};
    return swapped.done;
}

}  // namespace
}  // namespace quellhart
