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
// - The swap itself (SaveReplace.h) leaves a complete file under each name at every
//   step, gives the old save a second name by which the next Open can finish a swap a
//   stop cut short, and never deletes the previous backup: it moves into the save's
//   history first. A history that cannot take it (a read-only folder, a full disk)
//   never fails the commit: the backup is replaced as it always was, and the commit
//   says so beside "Done".
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
#include "savefile/SaveReplace.h"
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
    if (!input.IsOpen()) {
        if (!input.IsLetGo()) return Refuse(errors::kReconstruction);
        // Not taken again (the save's name empty while a game renames, say): nothing
        // was done, and the same edits may go once it is there again.
        if (!TakeSaveAgain()) {
            blocked = false;
            return false;
        }
    }
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
        // Nothing is held between commits either.
        if (!blocked) input.LetGo();
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
    // A save its owner may not write (a read-only mark, mode 0444) is the player's
    // protection of it, honoured on every system before anything is made: a rename
    // would replace it all the same where the folder allows it, and Windows's
    // replace-with-backup would refuse it only at the end.
    if ((input.OpenedAs().permissions & 0200) == 0) {
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
        case StaleWorkFile::kEditStays:
            Refuse(errors::kOpenOutForWrite);
            SayWhereVersionsAre(workPath +
                                " holds an edited save that could not be kept among the"
                                " versions; move it elsewhere to commit.");
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
    if (FileInfo workInfo; files.Describe(work.Handle(), workInfo).Ok())
        NoteLoadsWhole(files, work.Handle(), workInfo);
    // What was copied must be what was loaded: the game may have saved meanwhile.
    if (!SaveStillAsLoaded()) return false;
    namesChanged = true;
    const LoadedSave loaded{input.OpenedAs(), [this](FileStatus& unreadable) {
                                return LoadedFileOnDisk(false, unreadable, true);
                            }};
    ReplaceOutcome swapped = ReplaceSave(files, savePath, workPath, work, loaded, historyKeep);
    if (swapped.releasedWorkFileLeft) RemoveStaleWorkFile();
    if (!swapped.done) {
        error = std::move(swapped.error);
        return false;
    }
    commitNote = std::move(swapped.note);
    NoteLoadsWhole(files, input.Handle(), input.OpenedAs());
    // Said after whatever else the commit has to say.
    if (!lock.Ok()) commitNote.AddNote({errors::kSaveNotLocked, lock.Cause()});
    return true;
}

// The file under the save's name, opened again for the commit. Whether it is the one
// loaded is the commit's first look (SaveStillAsLoaded): the same file, size, times
// and the bytes relied on. A file system that gives a freed file's number to a new
// file cannot fool it either: the bytes copied must have the fingerprint taken at the
// load.
bool CSaveGame::TakeSaveAgain() {
    const FileStatus taken = input.TakeAgain(savePath);
    if (taken == FileError::kNotFound) return Refuse(errors::kChangedOnDisk);
    if (!taken.Ok()) return Refuse(errors::kUnableToOpenSave, taken);
    return true;
}

bool CSaveGame::SaveLooksAsLoaded() {
    if (savePath.empty()) return false;
    FileInfo named;
    if (!files.DescribePath(savePath, true, named).Ok() || !named.SameFile(input.OpenedAs()) ||
        !named.Unchanged(input.OpenedAs()))
        return false;
    if (named.Untouched(input.OpenedAs())) return true;
    // Only the change time moved: an attribute changed (a read-only mark cleared to
    // mend a refused commit), or a writer put the modification time back. The bytes
    // tell, read once: the same bytes are the file as loaded from now on.
    if (!fingerprintAsLoaded) return false;
    FileHandle file = kNoFile;
    if (!files.OpenForReading(savePath, file).Ok()) return false;
    FileInfo opened;
    uint64_t fingerprint = 0;
    const bool same = files.Describe(file, opened).Ok() && opened.SameFile(named) &&
                      opened.Untouched(named) &&
                      FingerprintOf(files, file, opened.size, fingerprint).Ok() &&
                      fingerprint == *fingerprintAsLoaded;
    files.Close(file);
    if (same) input.Redescribe(opened);
    return same;
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

OnDisk CSaveGame::LoadedFileOnDisk(bool changeTimeToo, FileStatus& unreadable, bool leftTheName) {
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

// A copy of the save that failed: a save that ended too soon was written anew meanwhile
// (a game saving), which is said as what it is, with where it ended beneath.
bool CSaveGame::CopyFailed(const SaveCopier& copier, const char* step) {
    if (!copier.SaveEndedEarly()) return Refuse(step, copier.Failure());
    bytesChangedSinceLoad = true;
    return Refuse(errors::kChangedWhileWritten, copier.Failure());
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
    if (!copier.Copy(0, readRawAddress, patches)) return CopyFailed(copier);

    if (!copier.Write(prefix)) return Refuse(errors::kReconstruction, copier.Failure());
    // The old prefix is not copied; its bytes as loaded stand in for it here, and those
    // on disk are compared with them before the swap.
    const std::vector<char>& oldPrefix = reliedOn.back().second;
    copied.Add(oldPrefix.data(), oldPrefix.size());

    // The tail: everything after the old prefix, to the end of the save as loaded.
    const int64_t tailFrom = int64_t(readRawAddress) + readPrefixLength;
    const int64_t tail = input.Size() - tailFrom;
    if (tail < 0) return Refuse(errors::kReconstructionTail);
    if (!copier.Copy(tailFrom, tail)) return CopyFailed(copier, errors::kReconstructionTail);
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
        std::copy_n(stretch.begin() + std::ptrdiff_t(patch.offset - from), patch.length,
                    readBack[i].begin());
        if (!std::equal(patch.bytes.begin(), patch.bytes.begin() + patch.length,
                        readBack[i].begin()))
            return Refuse(errors::kGlobVerify);
    }
    for (size_t i = 0; i < patches.size(); ++i)
        globs[size_t(patches[i].slot)].SetValueBytes(readBack[i]);
    return true;
}

}  // namespace quellhart
