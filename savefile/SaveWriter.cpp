// CSaveGame::Commit: rebuilds the save into the work file (".out") with the edited
// player prefix and every changed global patched in as the copy passes, reads the
// changed values back, makes the work file durable, and only then puts it in the
// save's place, keeping the old save as the backup (".bak").
//
// What protects the save:
// - The commit claims the save (its lock, taken while the name still names it) for
//   its whole length, and the work file from the moment it creates it to its last
//   rename; the locks go with the files when the names are swapped. Another commit
//   or a restore, which claim the save first, and an Open clearing a stale work
//   file, which claims the save and the work file, are refused or leave them be.
// - The save must still be the file that was loaded, untouched (same file, size,
//   modification and change time, and the bytes the commit relies on), before the
//   work file is made and before the swap; right after the exchange, what left the
//   save's name must be that file, unchanged. No rename into the save's name replaces
//   a file another program put there meanwhile.
// - The work file is created new, never through an existing file or link, with the
//   save's owner, extended attributes, access list and permissions.
// - The swap is two steps that each leave complete files under both names: the work
//   file and the save exchange names in one step, then the old save, now under the
//   work file's name, replaces the backup in one step. A failure after the first step
//   exchanges them back. Where the file system cannot exchange names, Windows's own
//   replace-with-backup does the swap, and elsewhere the save is renamed to the
//   backup and the work file to the save; a moment then exists in which the save's
//   name is empty.
// - Meanwhile the old save also has the name ".prev", so that after a stop at any
//   moment the next Open can tell which file is which and finish the swap. Where it
//   can have no such name, the names are not exchanged: the two renames leave nothing
//   that the next Open could take for a stale work file.
// - The previous backup is not deleted: right before anything takes the backup's name
//   it moves into the save's history (SaveHistory.h), by rename, and moves back if the
//   commit then fails. A history that cannot take it (a read-only folder, a full disk)
//   never fails the commit: the backup is replaced as it always was, and the commit
//   says so beside "Done". Old versions are trimmed only once the commit is done.
// Every failure leaves the save and the backup as they were and removes the work file.
#include <algorithm>
#include <cstring>
#include <span>
#include <vector>

#include "savefile/FileClaim.h"
#include "savefile/SaveErrors.h"
#include "savefile/SaveFingerprint.h"
#include "savefile/SaveGame.h"
#include "savefile/SaveHistory.h"
#include "savefile/SiblingPaths.h"
#include "savefile/WholeSaveNote.h"

namespace quellhart {
namespace {

template <typename T>
void Append(std::vector<char>& bytes, const T& value) {
    const size_t at = bytes.size();
    bytes.resize(at + sizeof value);
    std::memcpy(bytes.data() + at, &value, sizeof value);
}

// The player's record prefix as stored: the tag, size word and header, then each
// subrecord's tag, length and data.
std::vector<char> PrefixBytes(const PlayerRecord& player) {
    std::vector<char> prefix;
    Append(prefix, kTagNPC_);
    Append(prefix, player.size);
    Append(prefix, player.header);
    for (size_t i = 0; i < player.subrecords.size(); ++i) {
        const Subrecord& sub = player.subrecords[i];
        Append(prefix, kPlayerSubrecordTags[i]);
        Append(prefix, sub.length());
        prefix.insert(prefix.end(), sub.data.begin(), sub.data.end());
    }
    return prefix;
}

// Reads fields one after another from file offsets within bytes held in memory
// (the GLOB run as loaded, which the commit copies unchanged). A read past the end
// fails it and every later one.
class FieldReader {
public:
    FieldReader(int64_t base, const std::vector<char>& bytes, int64_t offset)
        : base_(base), bytes_(bytes), size_(base + int64_t(bytes.size())), offset_(offset) {}

    bool Read(void* into, int64_t count) {
        good_ = good_ && count >= 0 && offset_ >= base_ && count <= size_ - offset_;
        if (good_ && count > 0) std::memcpy(into, bytes_.data() + (offset_ - base_), size_t(count));
        offset_ += count;
        return good_;
    }
    template <typename T>
    bool ReadValue(T& value) {
        return Read(&value, sizeof value);
    }
    // Moves past `count` bytes, which must lie inside the file.
    bool Skip(int64_t count) {
        good_ = good_ && count >= 0 && count <= size_ - offset_;
        offset_ += count;
        return good_;
    }
    int64_t Offset() const { return offset_; }
    int64_t Remaining() const { return good_ ? size_ - offset_ : 0; }

private:
    int64_t base_;
    const std::vector<char>& bytes_;
    int64_t size_;
    int64_t offset_;
    bool good_ = true;
};

}  // namespace

// The work file for the length of one commit: created new and claimed at once, so
// that nobody takes it for a stale one; removed again, while it is still ours, unless
// it has taken the save's place.
class WorkFile {
public:
    WorkFile(FileSystem& files, const std::string& path) : files_(files), path_(path) {}
    ~WorkFile() {
        if (created_ && !kept_ && handle_ != kNoFile && NameStillRefersTo(files_, path_, handle_))
            files_.Remove(path_);
        if (handle_ == kNoFile) return;
        if (locked_) files_.Unlock(handle_);
        files_.Close(handle_);
    }
    WorkFile(const WorkFile&) = delete;
    WorkFile& operator=(const WorkFile&) = delete;

    FileStatus Create() {
        FileStatus created = files_.CreateNew(path_, handle_);
        created_ = created.Ok();
        if (!created_) {
            handle_ = kNoFile;
            return created;
        }
        FileStatus locked = LockByName(files_, path_, handle_);
        locked_ = locked.Ok();
        return locked;
    }
    FileHandle Handle() const { return handle_; }
    // The name no longer holds a file of ours to remove.
    void Keep() { kept_ = true; }
    // Lets go of the written file: the system's replace-with-backup shares it with
    // no other handle. Whoever claims it meanwhile can only make the replace fail.
    void Release() {
        if (handle_ == kNoFile) return;
        if (locked_) files_.Unlock(handle_);
        files_.Close(handle_);
        handle_ = kNoFile;
        locked_ = false;
    }

private:
    FileSystem& files_;
    const std::string& path_;
    FileHandle handle_ = kNoFile;
    bool created_ = false;
    bool locked_ = false;
    bool kept_ = false;
};

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
    const std::string& savePath_;
    std::string path_;
    const FileInfo& oldSave_;
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
        failure_ = KeepInHistory(files_, savePath_, backupPath_, keptAs_);
        // The backup's name is empty on the disk, too, before anything takes it: a file
        // system without a journal may otherwise keep the later rename into the name
        // and lose this one, and with it the version.
        if (failure_.Ok()) failure_ = files_.SyncFolderOf(backupPath_);
        if (!failure_.Ok() && !keptAs_.empty()) {
            files_.RenameToFreeName(keptAs_, backupPath_);
            files_.SyncFolderOf(backupPath_);
        }
        if (!failure_.Ok()) keptAs_.clear();
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
    // What "Done" is followed by where the history could not take the backup. Without
    // versions kept nothing was promised: the backup was replaced as ever.
    SaveError Note() const {
        if (failure_.Ok() || keep_ <= 0) return {};
        return {errors::kVersionNotKept, failure_.Cause()};
    }

private:
    FileSystem& files_;
    const std::string& savePath_;
    std::string backupPath_;
    int keep_;
    std::string keptAs_;
    FileStatus failure_;
    bool placed_ = false;
};

namespace {

// Holds the lock on an open file while it lives.
class LockHold {
public:
    LockHold(FileSystem& files, FileHandle file) : files_(files), file_(file) {}
    ~LockHold() { files_.Unlock(file_); }
    LockHold(const LockHold&) = delete;
    LockHold& operator=(const LockHold&) = delete;

private:
    FileSystem& files_;
    FileHandle file_;
};

}  // namespace

bool CSaveGame::Commit() {
    if (blocked || readOnly) return Refuse(errors::kBlocked);
    blocked = true;
    commitNote = {};
    if (!input.IsOpen()) return Refuse(errors::kReconstruction);
    bool committed = false;
    try {
        committed = CommitLocked();
    } catch (const std::exception&) {  // no memory for a copy buffer, or for the new save
        Refuse(errors::kReconstruction);
        SayWhereVersionsAre(errors::kNoMemoryForNewSave);
    }
    if (!committed) {
        // The same edits may go again once the cause is mended, if the save is still
        // the file they were made on (and that can be told).
        try {
            blocked = bytesChangedSinceLoad || !SaveIsTheLoadedFile();
        } catch (const std::exception&) {
            blocked = true;
        }
        return false;
    }
    for (int i = 0; i < globCount; ++i) globs[size_t(i)].modified = false;
    // Closed only once the lock is let go: unlocking a closed handle could reach a
    // file opened since under the same number.
    input.Close();
    return true;
}

bool CSaveGame::CommitLocked() {
    const FileStatus lock = files.TryLock(input.Handle());
    if (lock == FileError::kLocked) return Refuse(errors::kBeingWritten);
    // A file system without locks (NFS without its lock service): the commit goes on,
    // every look that the save is still the one loaded holds as ever, but another
    // program's commit at the same moment is not kept out; the outcome says so.
    if (!lock.Ok() && lock != FileError::kNotSupported)
        return Refuse(errors::kOpenOutForWrite, lock);
    const LockHold hold(files, input.Handle());

    if (!SaveStillAsLoaded()) return false;
    // The system's replace-with-backup refuses a read-only save only at the end, and
    // the old save's second name, read-only as well, could then not be removed.
    if (files.ReplacesWithBackup() && (input.OpenedAs().permissions & 0222) == 0) {
        Refuse(errors::kRenameSaveToBackup);
        SayWhereVersionsAre("The save is read-only; clear that attribute to commit.");
        return false;
    }
    if (const std::string clash = SiblingOfAnotherSave(files, savePath); !clash.empty()) {
        Refuse(errors::kOpenOutForWrite);
        SayWhereVersionsAre(clash);
        return false;
    }
    if (const std::string tooLong = SiblingNameTooLong(savePath); !tooLong.empty()) {
        Refuse(errors::kOpenOutForWrite);
        SayWhereVersionsAre(tooLong);
        return false;
    }
    if (const std::string inTheWay = BackupNameInTheWay(files, savePath); !inTheWay.empty()) {
        Refuse(errors::kRenameSaveToBackup);
        SayWhereVersionsAre(inTheWay);
        return false;
    }
    // Without a loaded player record there is nothing to put in its place, and a
    // prefix whose size word does not fit would be written wrong.
    if (player[PlayerRecord::NAME].data.empty() || !playerPrefixWritable)
        return Refuse(errors::kReconstruction);

    switch (RemoveStaleWorkFile()) {
        case StaleWorkFile::kRemoved:
            break;
        case StaleWorkFile::kClaimed:
            return Refuse(errors::kBeingWritten);
        case StaleWorkFile::kNotOurs:
            Refuse(errors::kOpenOutForWrite);
            SayWhereVersionsAre(workPath +
                                " is not a work file of this program; move it elsewhere"
                                " to commit.");
            return false;
    }
    WorkFile work(files, workPath);
    if (const FileStatus created = work.Create(); !created.Ok())
        return Refuse(errors::kOpenOutForWrite, created);
    if (const FileStatus access = files.CopyAccess(work.Handle(), input.Handle(), input.OpenedAs());
        !access.Ok())
        return Refuse(errors::kOpenOutForWrite, access);
    // Each changed value goes into the copy as it passes, at the place found in the
    // bytes as loaded, and is read back from the work file once it is written.
    std::vector<ValuePatch> patches;
    if (!PlanValuePatches(patches)) return false;
    workFile = work.Handle();
    const bool written = RebuildOutFile(patches) && ReadBackValuePatches(patches);
    workFile = kNoFile;
    if (!written) return false;
    // Every byte on disk before the work file takes the save's name, or a power cut
    // right after the swap could leave an empty save. The file stays open, and
    // claimed, until its name has taken the old save's place.
    if (const FileStatus synced = files.Sync(work.Handle()); !synced.Ok())
        return Refuse(errors::kReconstructionTail, synced);
    // Both versions are known whole now, which spares a restore the reading of either
    // (the old save's note once it is the backup: a note moves its change time).
    if (FileInfo written; files.Describe(work.Handle(), written).Ok())
        NoteLoadsWhole(files, work.Handle(), written);
    // What was copied must be what was loaded: the game may have saved meanwhile.
    if (!SaveStillAsLoaded()) return false;
    if (!SwapInWorkFile(work)) return false;
    NoteLoadsWhole(files, input.Handle(), input.OpenedAs());
    if (!lock.Ok()) {  // said after whatever else the commit has to say
        const SaveError unlocked{errors::kSaveNotLocked, lock.Cause()};
        if (commitNote.text.empty()) {
            commitNote = unlocked;
        } else {
            commitNote.AddCause(unlocked.text);
            commitNote.AddCause(unlocked.cause);
        }
    }
    return true;
}

bool CSaveGame::SaveStillAsLoaded() {
    FileInfo named;
    const FileStatus described = files.DescribePath(savePath, true, named);
    if (described == FileError::kFailed) return Refuse(errors::kUnableToOpenSave, described);
    if (!described.Ok() || !named.SameFile(input.OpenedAs())) return Refuse(errors::kChangedOnDisk);
    FileStatus unreadable;
    switch (LoadedFileOnDisk(!namesChanged, unreadable)) {
        case OnDisk::kAsLoaded:
            return true;
        case OnDisk::kChanged:
            return Refuse(errors::kChangedOnDisk);
        case OnDisk::kUnreadable:
            return Refuse(errors::kUnableToOpenSave, unreadable);
    }
    return false;
}

bool CSaveGame::SaveIsTheLoadedFile() {
    FileInfo named;
    FileStatus unreadable;
    return files.DescribePath(savePath, true, named).Ok() && named.SameFile(input.OpenedAs()) &&
           LoadedFileOnDisk(!namesChanged, unreadable) == OnDisk::kAsLoaded;
}

namespace {

// Times kept coarsely, and no change time of its own (FAT and exFAT keep the
// modification time to 2 s or 10 ms, and the change time is the same): a rewrite
// that puts the modification time back cannot be told by them.
bool TimesCannotTell(const FileInfo& file) {
    return file.changedNs == file.modifiedNs && file.modifiedNs % 10'000'000 == 0;
}

}  // namespace

CSaveGame::OnDisk CSaveGame::LoadedFileOnDisk(bool changeTimeToo, FileStatus& unreadable,
                                              bool leftTheName) {
    FileInfo now;
    if (FileStatus described = files.Describe(input.Handle(), now); !described.Ok()) {
        unreadable = std::move(described);
        return OnDisk::kUnreadable;
    }
    // The handle holds the file it was opened on, wherever its names have gone.
    if (!now.Unchanged(input.OpenedAs())) return OnDisk::kChanged;
    const auto sameBytes = [&] {
        uint64_t fingerprint = 0;
        if (!fingerprintAsLoaded) return OnDisk::kChanged;
        if (FileStatus read = FingerprintOf(files, input.Handle(), now.size, fingerprint);
            !read.Ok()) {
            unreadable = std::move(read);
            return OnDisk::kUnreadable;
        }
        if (fingerprint == *fingerprintAsLoaded) return OnDisk::kAsLoaded;
        bytesChangedSinceLoad = true;
        return OnDisk::kChanged;
    };
    if (changeTimeToo && !now.Untouched(input.OpenedAs())) {
        if (const OnDisk bytes = sameBytes(); bytes != OnDisk::kAsLoaded) return bytes;
        input.Redescribe(now);  // the same bytes: only an attribute changed
    } else if (leftTheName && TimesCannotTell(input.OpenedAs())) {
        // The file that left the save's name is the one loaded, byte for byte: its
        // times could not show a rewrite between the copy and the swap.
        if (const OnDisk bytes = sameBytes(); bytes != OnDisk::kAsLoaded) return bytes;
    }
    std::vector<char> bytes;
    for (const auto& [offset, loaded] : reliedOn) {
        bytes.resize(loaded.size());
        size_t got = 0;
        if (FileStatus read = files.ReadAt(input.Handle(), offset, bytes.data(), bytes.size(), got);
            !read.Ok()) {
            unreadable = std::move(read);
            return OnDisk::kUnreadable;
        }
        if (got != bytes.size() || bytes != loaded) return OnDisk::kChanged;
    }
    return OnDisk::kAsLoaded;
}

FileStatus CSaveGame::RememberReliedOnBytes(int64_t globRunStart, int64_t globRunEnd) {
    reliedOn.clear();
    for (const auto& [offset, length] : {std::pair{globRunStart, globRunEnd - globRunStart},
                                         {int64_t(readRawAddress), int64_t(readPrefixLength)}}) {
        std::vector<char> bytes(static_cast<size_t>(length));
        size_t got = 0;
        if (FileStatus read = files.ReadAt(input.Handle(), offset, bytes.data(), bytes.size(), got);
            !read.Ok())
            return read;
        if (got != bytes.size()) return FileError::kFailed;  // the file was cut short meanwhile
        reliedOn.emplace_back(offset, std::move(bytes));
    }
    return FileError::kNone;
}

bool CSaveGame::SwapInWorkFile(WorkFile& work) {
    const std::string backupPath = *BackupPathFor(savePath);
    PreviousBackup previousBackup(files, savePath, backupPath, historyKeep);
    namesChanged = true;
    const bool swapped = SwapInWorkFile(work, backupPath, previousBackup);
    if (swapped) {
        previousBackup.Placed();
        commitNote = previousBackup.Note();
    }
    return swapped;
}

bool CSaveGame::SwapInWorkFile(WorkFile& work, const std::string& backupPath,
                               PreviousBackup& previousBackup) {
    PreviousName previous(files, savePath, input.OpenedAs());
    switch (previous.Make()) {
        case PreviousName::Outcome::kMade:
            break;
        case PreviousName::Outcome::kNoSecondNames:
            // Between an exchange and the rename to the backup the old save would have
            // only the work file's name, which the next Open takes for a stale work
            // file: without a second name the renames are safer, and leave nothing the
            // next Open could mistake.
            return ReplaceWithoutExchange(work, backupPath, previous, previousBackup);
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
        return ReplaceWithoutExchange(work, backupPath, previous, previousBackup);
    if (!exchanged.Ok()) return Refuse(errors::kRenameWorkToSave, exchanged);
    // The new save has the save's name; the old one is under the work file's name
    // until it replaces the previous backup. If what the exchange took from the save's
    // name is not the loaded file (another program renamed its save over it), or the
    // loaded file was written to since the last look (a game saving in place), the
    // names go back: that save is newer.
    // A file system that cannot say, or cannot make the exchange durable, is
    // reported as what it is, and the names go back as well.
    FileStatus unreadable;
    const NameHolds took = WhatNameHolds(files, workPath, input.OpenedAs(), &unreadable);
    const FileStatus synced = files.SyncFolderOf(savePath);
    const OnDisk loaded = took == NameHolds::kThatFile  ? LoadedFileOnDisk(false, unreadable, true)
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
            KeepUnplacedSave(work, took != NameHolds::kAnother, backupPath);
        } else if (loaded == OnDisk::kChanged && took == NameHolds::kThatFile) {
            // A game saving in place wrote into the old save; in the moment the new one
            // had the save's name it may have opened that one by the name and written
            // into it as well. Nothing it wrote is lost: the new save is the backup.
            work.Keep();
            const bool kept = files.Rename(workPath, backupPath) == FileError::kNone;
            SayWhereVersionsAre(
                "A game wrote into the save while its names changed hands; the edited save, "
                "which it may have written into too, is now " +
                (kept ? backupPath : workPath) + ".");
        }
        files.SyncFolderOf(savePath);
        return false;
    }
    // The new save is in place and durable: only now does the previous backup step
    // aside for the old save.
    previousBackup.MoveIntoHistory();
    if (const FileStatus renamed = files.Rename(workPath, backupPath); !renamed.Ok()) {
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
    if (files.SyncFolderOf(savePath) != FileError::kNone) previous.Keep();
    return true;
}

// After a failed undo of the exchange the new save keeps the save's name, and the
// work file's name holds the other one: the loaded save, which ".prev" names and the
// next Open makes the backup, or another program's save, made the backup now since
// nothing else would tell it from a stale work file.
void CSaveGame::KeepUnplacedSave(WorkFile& work, bool isTheLoadedFile,
                                 const std::string& backupPath) {
    work.Keep();
    if (isTheLoadedFile) {
        SayWhereVersionsAre("The new save is in place; the old one is " + workPath + ".");
        return;
    }
    const bool kept = files.Rename(workPath, backupPath) == FileError::kNone;
    files.SyncFolderOf(savePath);
    SayWhereVersionsAre("The edited save is in place; the one another program wrote is " +
                        (kept ? backupPath : workPath) + ".");
}

// Where two names cannot be exchanged in one step, or the old save can have no
// second name: the system's own replace-with-backup (Windows), which keeps the old
// save's attributes and access list, or two renames.
bool CSaveGame::ReplaceWithoutExchange(WorkFile& work, const std::string& backupPath,
                                       PreviousName& previous, PreviousBackup& previousBackup) {
    if (!files.ReplacesWithBackup())
        return SwapByTwoRenames(work, backupPath, previous, previousBackup);
    // The replace shares the work file with no other handle: whoever claims the file
    // meanwhile can only make the replace fail.
    work.Release();
    work.Keep();  // no longer held: if it is left, it is removed under a claim
    previousBackup.MoveIntoHistory();
    if (const FileStatus replaced = files.ReplaceWithBackup(savePath, workPath, backupPath);
        !replaced.Ok()) {
        RemoveStaleWorkFile();
        return Refuse(errors::kRenameSaveToBackup, replaced);  // its first step, and undone
    }
    files.SyncFolderOf(savePath);
    return true;
}

bool CSaveGame::SwapByTwoRenames(WorkFile& work, const std::string& backupPath,
                                 PreviousName& previous, PreviousBackup& previousBackup) {
    // The old save takes the backup's name first, so the previous backup steps aside
    // before the new save is in place, versions kept or not; it comes back if the
    // commit fails.
    previousBackup.MoveIntoHistory(true);
    if (const FileStatus renamed = files.Rename(savePath, backupPath); !renamed.Ok())
        return Refuse(errors::kRenameSaveToBackup, renamed);
    // The old save's new name is made durable before the new file takes the save's:
    // a file system may otherwise keep the second rename and lose the first.
    if (const FileStatus synced = files.SyncFolderOf(savePath); !synced.Ok()) {
        if (!files.RenameToFreeName(backupPath, savePath).Ok()) work.Keep();
        return Refuse(errors::kRenameSaveToBackup, synced);
    }
    // Another program's save renamed over the old one since the last look is what the
    // rename took: it goes back to the save's name, newer than the edit, and the old
    // save, still under its second name, takes the backup's.
    FileStatus unreadable;
    const NameHolds took = WhatNameHolds(files, backupPath, input.OpenedAs(), &unreadable);
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
    const OnDisk loaded = took == NameHolds::kThatFile ? LoadedFileOnDisk(false, unreadable, true)
                                                       : OnDisk::kUnreadable;
    if (loaded != OnDisk::kAsLoaded) {
        if (!files.RenameToFreeName(backupPath, savePath).Ok()) work.Keep();
        if (loaded == OnDisk::kChanged) return Refuse(errors::kChangedOnDisk);
        return Refuse(errors::kRenameWorkToSave, unreadable);
    }
    // Nothing is replaced now: a save another program put under the empty name
    // meanwhile is newer.
    if (const FileStatus placed = files.RenameToFreeName(workPath, savePath); !placed.Ok()) {
        if (placed == FileError::kExists) return Refuse(errors::kChangedOnDisk);
        // Back under its own name; if that fails too, the old save is the backup and
        // the new one stays under the work file's name.
        const bool undone = files.RenameToFreeName(backupPath, savePath).Ok();
        if (!undone) work.Keep();
        Refuse(errors::kRenameWorkToSave, placed);
        if (!undone)
            SayWhereVersionsAre("The old save is now " + backupPath + "; the new one is " +
                                workPath + ".");
        return false;
    }
    work.Keep();
    files.SyncFolderOf(savePath);
    return true;
}

bool CSaveGame::RebuildOutFile(std::span<const ValuePatch> patches) {
    // What is copied must be the save as loaded: a game that rewrote it in place since,
    // or rewrites it while it is copied, on a file system whose times cannot show it,
    // would otherwise leave a new save spliced from two. (A document given player data
    // without a load has nothing to prove it by.)
    if (reliedOn.size() != 2 || !fingerprintAsLoaded) return Refuse(errors::kReconstruction);
    Fingerprint copied;
    SaveCopier copier(files, input.Handle(), workFile, copied);
    const std::vector<char> prefix = PrefixBytes(player);
    files.ExpectSize(workFile, input.Size() - readPrefixLength + int64_t(prefix.size()));
    // The values lie before the player record, which never moves them.
    if (!copier.Copy(0, readRawAddress, patches))
        return Refuse(errors::kReconstruction, copier.Failure());

    if (!copier.Write(prefix)) return Refuse(errors::kReconstruction, copier.Failure());
    // The old prefix is not copied; its bytes as loaded stand in for it here, and those
    // on disk are compared with them before the swap.
    const std::vector<char>& oldPrefix = reliedOn.back().second;
    copied.Add(oldPrefix.data(), oldPrefix.size());

    // The tail: everything after the old prefix, to the end of the save as loaded.
    const int64_t tailFrom = int64_t(readRawAddress) + readPrefixLength;
    const int64_t tail = input.Size() - tailFrom;
    if (tail < 0 || !copier.Copy(tailFrom, tail))
        return Refuse(errors::kReconstructionTail, copier.Failure());
    FileInfo made;
    if (const FileStatus described = files.Describe(workFile, made); !described.Ok())
        return Refuse(errors::kReconstructionTail, described);
    if (made.size != copier.Written()) return Refuse(errors::kReconstructionTail);
    if (copied.Value() != fingerprintAsLoaded) {
        bytesChangedSinceLoad = true;
        return Refuse(errors::kChangedOnDisk);
    }
    return true;
}

// Finds where the value of `slot` lies, in the GLOB run as loaded: at the slot's
// offset there must be a GLOB record whose name begins with the slot's whole name.
std::optional<int64_t> CSaveGame::LocateGlobValue(const GlobEntry& slot) {
    if (reliedOn.empty()) {
        SetError(errors::kOpenOutForRead);
        return std::nullopt;
    }
    const auto& [runStart, run] = reliedOn.front();
    FieldReader record(runStart, run, slot.rawAddress);
    uint32_t tag = 0;
    if (!record.ReadValue(tag) || tag != kTagGLOB) {
        SetError(errors::kNoGlobAtAddress);
        return std::nullopt;
    }
    int32_t storedNameLen = 0;
    // After the tag: unk1, then the name subrecord's tag and length.
    if (!record.Skip(kGlobUnknownBytes + kTagSize) || !record.ReadValue(storedNameLen) ||
        storedNameLen < 0 || storedNameLen > record.Remaining()) {
        SetError(errors::kGlobExtractionFromOut);
        return std::nullopt;
    }
    // A longer stored name with an equal beginning matches, a shorter one does not.
    std::vector<char> storedName(slot.name.size());
    if (storedNameLen < slot.NameLen() || !record.Read(storedName.data(), slot.NameLen()) ||
        storedName != slot.name) {
        SetError(errors::kGlobNotLocated);
        return std::nullopt;
    }
    int32_t fnamLen = 0;
    // The value must lie inside the run, and so before the player record.
    if (!record.Skip(storedNameLen - slot.NameLen() + kTagSize) || !record.ReadValue(fnamLen) ||
        !record.Skip(fnamLen) || !record.Skip(kSubrecordPreambleBytes) ||
        slot.valueLen > record.Remaining()) {
        SetError(errors::kGlobExtractionFromOut);
        return std::nullopt;
    }
    return record.Offset();
}

bool CSaveGame::PlanValuePatches(std::vector<ValuePatch>& patches) {
    for (int i = 0; i < globCount; ++i) {
        const GlobEntry& slot = globs[size_t(i)];
        if (!slot.modified) continue;
        const std::optional<int64_t> offset = LocateGlobValue(slot);
        if (!offset) return false;
        patches.push_back({i, *offset, size_t(slot.valueLen), slot.ValueBytes()});
    }
    return true;
}

// Reads back what the work file now holds where each value went, in one read of the
// stretch that holds them all (they lie in the GLOB run); the slot keeps what was read
// once every value read back as written. A failure leaves the slots as the user left
// them, changes marked, for a commit that tries again.
bool CSaveGame::ReadBackValuePatches(std::span<const ValuePatch> patches) {
    if (patches.empty()) return true;
    int64_t from = patches.front().offset, to = from;
    for (const ValuePatch& patch : patches) {
        from = std::min(from, patch.offset);
        to = std::max(to, patch.offset + int64_t(patch.length));
    }
    std::vector<uint8_t> stretch(size_t(to - from));
    size_t got = 0;
    const FileStatus stretchRead =
        files.ReadAt(workFile, from, stretch.data(), stretch.size(), got);
    if (!stretchRead.Ok() || got != stretch.size()) return Refuse(errors::kGlobVerify, stretchRead);
    std::vector<std::array<uint8_t, kGlobValueBytes>> readBack(patches.size());
    for (size_t i = 0; i < patches.size(); ++i) {
        const ValuePatch& patch = patches[i];
        std::copy_n(stretch.begin() + (patch.offset - from), patch.length, readBack[i].begin());
        if (!std::equal(patch.bytes.begin(), patch.bytes.begin() + patch.length,
                        readBack[i].begin()))
            return Refuse(errors::kGlobVerify);
    }
    for (size_t i = 0; i < patches.size(); ++i)
        globs[size_t(patches[i].slot)].SetValueBytes(readBack[i]);
    return true;
}

}  // namespace quellhart
