#include "savefile/SaveReplace.h"

#include <utility>

#include "savefile/FileClaim.h"
#include "savefile/SaveHistory.h"
#include "savefile/SiblingPaths.h"

namespace quellhart {
namespace {

// While the names change hands the old save keeps a second name of its own, ".prev",
// by which the next Open finishes a swap that was stopped half-way. It goes once the
// old save has the save's or the backup's name, or once another program's save has
// taken the save's name (the old save is then no version of the user's any more); if
// the old save has neither name, it stays for the next Open.
class PreviousName {
public:
    enum class Outcome {
        kMade,
        kNoSecondNames,  // the file system has none, or the kernel refuses them here
        kInTheWay,       // a file the commit cannot account for has the name
        kNotTheSave,     // another program's save took the save's name meanwhile
        kFailed,
    };

    PreviousName(FileSystem& files, const std::string& savePath, const FileInfo& oldSave)
        : files_(files),
          savePath_(savePath),
          path_(*PreviousPathFor(savePath)),
          oldSave_(oldSave) {}
    ~PreviousName() {
        if (!made_ || !NameStillRefersTo(files_, path_, oldSave_)) return;
        if (dropped_ || NameStillRefersTo(files_, savePath_, oldSave_) ||
            NameStillRefersTo(files_, *BackupPathFor(savePath_), oldSave_))
            files_.Remove(path_);
    }
    PreviousName(const PreviousName&) = delete;
    PreviousName& operator=(const PreviousName&) = delete;

    Outcome Make() {
        const FileStatus linked = files_.Link(savePath_, path_);
        if (linked == FileError::kNotSupported) return Outcome::kNoSecondNames;
        if (!linked.Ok() && linked != FileError::kExists) {
            failure_ = linked;
            return Outcome::kFailed;
        }
        // The link is made by name: a save renamed over the old one since the last look
        // would have been given the name instead, and is left with its own only. A name
        // already there that is the old save's (left by a commit that could not remove
        // it) does as well as a new one; any other file stays, and the commit with it.
        const NameHolds holds = WhatNameHolds(files_, path_, oldSave_, &failure_);
        if (holds != NameHolds::kThatFile) {
            if (linked == FileError::kExists)
                return holds == NameHolds::kAnother ? Outcome::kInTheWay : Outcome::kFailed;
            files_.Remove(path_);  // a second name of whatever it names
            return holds == NameHolds::kAnother ? Outcome::kNotTheSave : Outcome::kFailed;
        }
        made_ = true;
        return Outcome::kMade;
    }
    const std::string& Path() const { return path_; }
    // Why the name could not be made, where the system said (kFailed).
    const FileStatus& Failure() const { return failure_; }
    // Another program's save has taken the save's name: the old one is not kept.
    void Drop() { dropped_ = true; }
    // Gives the old save the free name `path` in place of this one.
    void MoveTo(const std::string& path) {
        if (made_ && NameStillRefersTo(files_, path_, oldSave_))
            made_ = files_.RenameToFreeName(path_, path) != FileError::kNone;
    }
    // The folder could not be made durable after the last rename: the name stays, so
    // that whatever a power cut leaves, the next Open can still tell the old save.
    void Keep() { made_ = false; }

private:
    FileSystem& files_;
    std::string savePath_;
    std::string path_;
    FileInfo oldSave_;
    bool made_ = false;
    bool dropped_ = false;
    FileStatus failure_;
};

// The previous backup, moved into the history before anything takes its name, and
// back to its name unless the commit goes through. Where no versions are kept it
// stays under its name, which the old save then replaces in one rename, except on
// the way by two renames: there the old save takes the backup's name before the new
// save is in place, so the previous backup waits among the versions until then, and
// goes only once the commit went through.
class PreviousBackup {
public:
    PreviousBackup(FileSystem& files, const std::string& savePath, std::string backupPath, int keep)
        : files_(files), savePath_(savePath), backupPath_(std::move(backupPath)), keep_(keep) {}
    ~PreviousBackup() {
        if (!keptAs_.empty() && !placed_) files_.RenameToFreeName(keptAs_, backupPath_);
    }
    PreviousBackup(const PreviousBackup&) = delete;
    PreviousBackup& operator=(const PreviousBackup&) = delete;

    // Moves the backup, where there is one and versions are kept, or `untilPlaced`.
    void MoveIntoHistory(bool untilPlaced = false) {
        if (keep_ <= 0 && !untilPlaced) return;
        FileInfo backup;
        const FileStatus described = files_.DescribePath(backupPath_, false, backup);
        if (described == FileError::kNotFound) return;
        if (!described.Ok()) {
            failure_ = described;
            return;
        }
        if (backup.kind != FileKind::kRegular) return;  // a link or a folder is the user's
        failure_ =
            KeepInHistory(files_, savePath_, backupPath_, KeptFrom::kPreviousBackup, keptAs_);
        // The backup's name is empty on the disk, too, before anything takes it: a file
        // system without a journal may otherwise keep the later rename into the name
        // and lose this one, and with it the version.
        if (failure_.Ok()) failure_ = files_.SyncFolderOf(backupPath_);
        // Moved but not durable: back under its name, or, where even that fails, still
        // among the versions, where the end of the commit tries again.
        if (!failure_.Ok() && !keptAs_.empty() &&
            files_.RenameToFreeName(keptAs_, backupPath_).Ok()) {
            files_.SyncFolderOf(backupPath_);
            keptAs_.clear();
        }
    }
    // The commit went through: the version stays, and the oldest beyond the limit go.
    void Placed() {
        placed_ = true;
        if (keptAs_.empty()) return;
        if (keep_ > 0) {
            TrimHistory(files_, savePath_, keep_);
        } else {
            files_.Remove(keptAs_);
        }
    }
    // Where the backup is among the versions once moved; empty while it is not.
    const std::string& KeptAs() const { return keptAs_; }
    // Why the backup could not step aside where that is a reason to leave it alone:
    // the history failed for the system's own reason (an I/O error, a full disk), not
    // for being none of the editor's. A failing disk is no place to replace a version.
    FileStatus SystemFailure() const {
        return failure_ == FileError::kFailed ? failure_ : FileStatus();
    }
    // Why a backup that is still under its name could not step aside at all.
    const FileStatus& Failure() const { return failure_; }
    // What "Done" is followed by where the history could not take the backup. Without
    // versions kept nothing was promised: the backup was replaced as ever.
    SaveError Note() const {
        if (failure_.Ok() || keep_ <= 0) return {};
        return {errors::kVersionNotKept, failure_.Cause()};
    }

private:
    FileSystem& files_;
    std::string savePath_;
    std::string backupPath_;
    int keep_;
    std::string keptAs_;
    FileStatus failure_;
    bool placed_ = false;
};

// One commit's swap: the steps below, each reporting into the outcome.
class CommitSwap {
public:
    CommitSwap(FileSystem& fileLayer, const std::string& save, const std::string& workName,
               WorkFile& workFile, const LoadedSave& loaded, int versionsKept)
        : files(fileLayer),
          savePath(save),
          workPath(workName),
          work(workFile),
          oldSave(loaded),
          keep(versionsKept) {}

    bool Run();
    ReplaceOutcome outcome;

private:
    bool SwapInWorkFile(const std::string& backupPath, PreviousBackup& previousBackup);
    bool ReplaceWithoutExchange(const std::string& backupPath, PreviousName& previous,
                                PreviousBackup& previousBackup);
    bool SwapByTwoRenames(const std::string& backupPath, PreviousName& previous,
                          PreviousBackup& previousBackup);
    void KeepUnplacedSave(bool isTheLoadedFile, const std::string& backupPath,
                          PreviousBackup& previousBackup);
    // After a step that failed once the old save had taken the backup's name: the old
    // save goes back under its own. Where even that fails, the new save stays under the
    // work file's name, the failure says where each is, and the old save keeps its
    // second name, from which the next Open finishes the commit.
    bool RefuseWithOldSaveBack(const char* text, const FileStatus& failed,
                               const std::string& backupPath, PreviousName& previous);
    // Puts the work file, which holds a save the commit did not place, under the
    // backup's name, and says where it and the previous backup are.
    std::string KeepAsBackup(const std::string& backupPath, PreviousBackup& previousBackup);
    // The step that failed, with the failed call's reason, if any.
    bool Refuse(const char* text, const FileStatus& failed = {}) {
        outcome.error = {text, failed.Cause()};
        return false;
    }
    // After an undo that failed: where each version is, beside the system's reason.
    void SayWhereVersionsAre(const std::string& where) { outcome.error.AddCause(where); }
    // The folder's sync after the last rename, which decides no more: the new save is
    // in place either way, but a failure is said beneath "Done".
    void SyncPlacedSave() { lastSync = files.SyncFolderOf(savePath); }

    FileSystem& files;
    const std::string& savePath;
    const std::string& workPath;
    WorkFile& work;
    const LoadedSave& oldSave;
    int keep;
    FileStatus lastSync;
};

bool CommitSwap::Run() {
    const std::string backupPath = *BackupPathFor(savePath);
    PreviousBackup previousBackup(files, savePath, backupPath, keep);
    outcome.done = SwapInWorkFile(backupPath, previousBackup);
    if (outcome.done) {
        previousBackup.Placed();
        outcome.note = previousBackup.Note();
        // (A folder that cannot be synced at all is no failure of this commit's.)
        if (lastSync == FileError::kFailed)
            outcome.note.AddNote({errors::kPlacedNotDurable, lastSync.Cause()});
    }
    return outcome.done;
}

bool CommitSwap::SwapInWorkFile(const std::string& backupPath, PreviousBackup& previousBackup) {
    PreviousName previous(files, savePath, oldSave.asLoaded);
    switch (previous.Make()) {
        case PreviousName::Outcome::kMade:
            break;
        case PreviousName::Outcome::kNoSecondNames:
            // Between an exchange and the rename to the backup the old save would have
            // only the work file's name, which the next Open takes for a stale work
            // file: without a second name the renames are safer, and leave nothing the
            // next Open could mistake.
            return ReplaceWithoutExchange(backupPath, previous, previousBackup);
        case PreviousName::Outcome::kInTheWay:
            Refuse(errors::kRenameWorkToSave);
            SayWhereVersionsAre(previous.Path() +
                                " is in the way; it may be an earlier version of the save. Move"
                                " it elsewhere to commit.");
            return false;
        case PreviousName::Outcome::kNotTheSave:
            return Refuse(errors::kChangedOnDisk);
        case PreviousName::Outcome::kFailed:
            return Refuse(errors::kRenameWorkToSave, previous.Failure());
    }
    const FileStatus exchanged = files.Exchange(workPath, savePath);
    if (exchanged == FileError::kNotSupported)
        return ReplaceWithoutExchange(backupPath, previous, previousBackup);
    if (!exchanged.Ok()) return Refuse(errors::kRenameWorkToSave, exchanged);
    // The new save has the save's name; the old one is under the work file's name
    // until it replaces the previous backup. If what the exchange took from the save's
    // name is not the loaded file (another program renamed its save over it), or the
    // loaded file was written to since the last look (a game saving in place), the
    // names go back: that save is newer.
    // A file system that cannot say, or cannot make the exchange durable, is
    // reported as what it is, and the names go back as well.
    FileStatus unreadable;
    const NameHolds took = WhatNameHolds(files, workPath, oldSave.asLoaded, &unreadable);
    const FileStatus synced = files.SyncFolderOf(savePath);
    const OnDisk loaded = took == NameHolds::kThatFile  ? oldSave.stillAsLoaded(unreadable)
                          : took == NameHolds::kAnother ? OnDisk::kChanged
                                                        : OnDisk::kUnreadable;
    if (!synced.Ok() || loaded != OnDisk::kAsLoaded) {
        if (took == NameHolds::kAnother) previous.Drop();
        const bool undone = files.Exchange(workPath, savePath).Ok();
        if (!synced.Ok())
            Refuse(errors::kRenameWorkToSave, synced);
        else if (loaded == OnDisk::kChanged)
            Refuse(errors::kChangedOnDisk);
        else
            Refuse(errors::kRenameWorkToSave, unreadable);
        if (!undone) {
            KeepUnplacedSave(took != NameHolds::kAnother, backupPath, previousBackup);
        } else if (loaded == OnDisk::kChanged && took == NameHolds::kThatFile) {
            // A game saving in place wrote into the old save; in the moment the new one
            // had the save's name it may have opened that one by the name and written
            // into it as well. Nothing it wrote is lost: the new save is the backup.
            SayWhereVersionsAre(
                "A game wrote into the save while its names changed hands; the edited save, "
                "which it may have written into too, is now " +
                KeepAsBackup(backupPath, previousBackup) + ".");
        }
        files.SyncFolderOf(savePath);
        return false;
    }
    // The new save is in place and durable: only now does the previous backup step
    // aside for the old save. A history the system failed to write is no reason to
    // replace the previous backup: the commit is undone instead.
    previousBackup.MoveIntoHistory();
    FileStatus renamed = previousBackup.SystemFailure();
    if (renamed.Ok()) renamed = files.Rename(workPath, backupPath);
    if (!renamed.Ok()) {
        // Undone, the work file's name holds the new save again and is removed. If
        // even that fails, the old save's bytes stay under the work file's name,
        // which the next Open makes the backup.
        const bool undone = files.Exchange(workPath, savePath).Ok();
        if (!undone) work.Keep();
        files.SyncFolderOf(savePath);
        Refuse(errors::kRenameSaveToBackup, renamed);
        if (!undone)
            SayWhereVersionsAre("The new save is in place; the old one is " + workPath + ".");
        return false;
    }
    work.Keep();
    SyncPlacedSave();
    if (!lastSync.Ok()) previous.Keep();
    return true;
}

// After a failed undo of the exchange the new save keeps the save's name, and the
// work file's name holds the other one: the loaded save, which ".prev" names and the
// next Open makes the backup, or another program's save, made the backup now since
// nothing else would tell it from a stale work file.
void CommitSwap::KeepUnplacedSave(bool isTheLoadedFile, const std::string& backupPath,
                                  PreviousBackup& previousBackup) {
    work.Keep();
    if (isTheLoadedFile) {
        SayWhereVersionsAre("The new save is in place; the old one is " + workPath + ".");
        return;
    }
    SayWhereVersionsAre("The edited save is in place; the one another program wrote is " +
                        KeepAsBackup(backupPath, previousBackup) + ".");
}

// The previous backup steps aside among the versions first (versions kept or not: it
// is no longer replaced); where it cannot, or the name is taken meanwhile, the work
// file keeps its own name, which the next Open keeps among the versions. No file is
// renamed over another.
std::string CommitSwap::KeepAsBackup(const std::string& backupPath,
                                     PreviousBackup& previousBackup) {
    work.Keep();
    previousBackup.MoveIntoHistory(true);
    const bool kept = files.RenameToFreeName(workPath, backupPath).Ok();
    files.SyncFolderOf(savePath);
    if (!kept) return workPath;
    if (previousBackup.KeptAs().empty()) return backupPath;
    return backupPath + ", and the backup before it is " + previousBackup.KeptAs();
}

// Where two names cannot be exchanged in one step, or the old save can have no
// second name: the system's own replace-with-backup (Windows), which keeps the old
// save's attributes and access list, or two renames.
bool CommitSwap::ReplaceWithoutExchange(const std::string& backupPath, PreviousName& previous,
                                        PreviousBackup& previousBackup) {
    if (!files.ReplacesWithBackup()) return SwapByTwoRenames(backupPath, previous, previousBackup);
    // The replace shares the work file with no other handle: whoever claims the file
    // meanwhile can only make the replace fail.
    previousBackup.MoveIntoHistory();
    if (const FileStatus failed = previousBackup.SystemFailure(); !failed.Ok())
        return Refuse(errors::kRenameSaveToBackup, failed);
    work.Release();
    work.Keep();  // no longer held: if it is left, it is removed under a claim
    if (const FileStatus replaced = files.ReplaceWithBackup(savePath, workPath, backupPath);
        !replaced.Ok()) {
        outcome.releasedWorkFileLeft = true;
        return Refuse(errors::kRenameSaveToBackup, replaced);  // its first step, and undone
    }
    SyncPlacedSave();
    return true;
}

bool CommitSwap::SwapByTwoRenames(const std::string& backupPath, PreviousName& previous,
                                  PreviousBackup& previousBackup) {
    // The old save takes the backup's name first, so the previous backup steps aside
    // before the new save is in place, versions kept or not; it comes back if the
    // commit fails. Where it cannot step aside, nothing takes its name: the commit
    // could still fail after that, and the previous backup would be gone with it.
    previousBackup.MoveIntoHistory(true);
    if (const FileStatus stayed = previousBackup.Failure(); !stayed.Ok()) {
        Refuse(errors::kRenameSaveToBackup, stayed);
        SayWhereVersionsAre(errors::kBackupLeftAlone);
        return false;
    }
    if (const FileStatus renamed = files.Rename(savePath, backupPath); !renamed.Ok())
        return Refuse(errors::kRenameSaveToBackup, renamed);
    // The old save's new name is made durable before the new file takes the save's:
    // a file system may otherwise keep the second rename and lose the first.
    if (const FileStatus synced = files.SyncFolderOf(savePath); !synced.Ok())
        return RefuseWithOldSaveBack(errors::kRenameSaveToBackup, synced, backupPath, previous);
    // Another program's save renamed over the old one since the last look is what the
    // rename took: it goes back to the save's name, newer than the edit, and the old
    // save, still under its second name, takes the backup's.
    FileStatus unreadable;
    const NameHolds took = WhatNameHolds(files, backupPath, oldSave.asLoaded, &unreadable);
    if (took == NameHolds::kAnother) {
        if (files.RenameToFreeName(backupPath, savePath) != FileError::kNone) {
            Refuse(errors::kChangedOnDisk);
            SayWhereVersionsAre("The save another program wrote is now " + backupPath + ".");
            return false;
        }
        previous.MoveTo(backupPath);
        files.SyncFolderOf(savePath);
        return Refuse(errors::kChangedOnDisk);
    }
    // A save written to since the last look goes back to its name: it is newer.
    // (The previous backup is among the versions by now, and comes back when this
    // fails; without a history it is gone. The save is not.) So does one the system
    // cannot say anything of.
    const OnDisk loaded =
        took == NameHolds::kThatFile ? oldSave.stillAsLoaded(unreadable) : OnDisk::kUnreadable;
    if (loaded == OnDisk::kChanged)
        return RefuseWithOldSaveBack(errors::kChangedOnDisk, {}, backupPath, previous);
    if (loaded != OnDisk::kAsLoaded)
        return RefuseWithOldSaveBack(errors::kRenameWorkToSave, unreadable, backupPath, previous);
    // Nothing is replaced now: a save another program put under the empty name
    // meanwhile is newer.
    if (const FileStatus placed = files.RenameToFreeName(workPath, savePath); !placed.Ok()) {
        if (placed == FileError::kExists) return Refuse(errors::kChangedOnDisk);
        return RefuseWithOldSaveBack(errors::kRenameWorkToSave, placed, backupPath, previous);
    }
    work.Keep();
    SyncPlacedSave();
    return true;
}

bool CommitSwap::RefuseWithOldSaveBack(const char* text, const FileStatus& failed,
                                       const std::string& backupPath, PreviousName& previous) {
    const bool undone = files.RenameToFreeName(backupPath, savePath).Ok();
    Refuse(text, failed);
    if (undone) return false;
    work.Keep();
    previous.Keep();
    SayWhereVersionsAre("The old save is now " + backupPath + "; the new one is " + workPath + ".");
    return false;
}

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
    // rename and lose an earlier one, and with it the version the earlier one moved.
    if (const FileStatus parking = DurableRename(files, save, parked); !parking.Ok()) {
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
    if (const FileStatus moved = DurableRename(files, backup, save); !moved.Ok()) {
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

FileStatus DurableRename(FileSystem& files, const std::string& from, const std::string& to) {
    if (FileStatus renamed = files.RenameToFreeName(from, to); !renamed.Ok()) return renamed;
    FileStatus synced = files.SyncFolderOf(to);
    if (!synced.Ok() && files.RenameToFreeName(to, from).Ok()) files.SyncFolderOf(from);
    return synced;
}

// A restore's swap of the save and its backup, `saveFile` the save's claimed handle.
ReplaceOutcome ExchangeWithBackup(FileSystem& files, const std::string& savePath,
                                  const std::string& backup, FileHandle saveFile) {
    ReplaceOutcome outcome;
    const FileStatus swapped = files.Exchange(savePath, backup);
    const bool byRenames = swapped == FileError::kNotSupported;
    if (byRenames) {
        if (!SwapByRenames(files, savePath, saveFile, backup, outcome.error)) return outcome;
    } else if (!swapped.Ok()) {
        outcome.error = {errors::kRestoreSwap, swapped.Cause()};
        return outcome;
    }
    const FileStatus synced = files.SyncFolderOf(savePath);
    outcome.done = true;
    if (synced.Ok()) return outcome;
    // The folder could not be made durable: the names go back, and the failure is
    // reported. Should they not, the swap stands, as the names say.
    SaveError notUndone;
    const bool undone = byRenames ? SwapByRenames(files, savePath, kNoFile, backup, notUndone)
                                  : files.Exchange(savePath, backup).Ok();
    if (!undone) return outcome;
    files.SyncFolderOf(savePath);
    outcome.done = false;
    outcome.error = {errors::kRestoreSwap, synced.Cause()};
    return outcome;
}

ReplaceOutcome ReplaceSave(FileSystem& files, const std::string& savePath,
                           const std::string& workPath, WorkFile& work, const LoadedSave& loaded,
                           int keep) {
    CommitSwap swap(files, savePath, workPath, work, loaded, keep);
    swap.Run();
    return std::move(swap.outcome);
}

}  // namespace quellhart
