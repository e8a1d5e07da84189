// The moment a commit's new save takes the save's name, and the old save the
// backup's: every step, and every undo, of the swap a commit makes, in one place. It
// tells its caller what became of each version (done, or the failure with the step
// that failed and where each version is) rather than writing into the document.
//
// The swap is two steps that each leave complete files under both names: the work
// file and the save exchange names in one step, then the old save, now under the work
// file's name, replaces the backup in one step. A failure after the first step
// exchanges them back. Meanwhile the old save also has the name ".prev", so that after
// a stop at any moment the next Open can tell which file is which and finish the swap
// (SwapRecovery.h). Where the file system cannot exchange names, Windows's own
// replace-with-backup does the swap, and elsewhere the save is renamed to the backup
// and the work file to the save; a moment then exists in which the save's name is
// empty. The previous backup is never deleted: right before anything takes the
// backup's name it moves into the save's history (SaveHistory.h), and back if the
// commit then fails.
#pragma once

#include <functional>
#include <string>

#include "savefile/FileClaim.h"
#include "savefile/FileSystem.h"
#include "savefile/SaveErrors.h"

namespace quellhart {

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
    std::string path_;
    FileHandle handle_ = kNoFile;
    bool created_ = false;
    bool locked_ = false;
    bool kept_ = false;
};

// What a swap did: done, or not, with the failure's message (its first line the step
// that failed; its cause the system's reason and, where an undo failed too, where each
// version is). After a swap that went through, what "Done" is followed by, if anything.
struct ReplaceOutcome {
    bool done = false;
    SaveError error;
    SaveError note;
    // The work file, let go of for the system's replace-with-backup, is still there
    // after a replace that failed: no handle of the commit's holds it any more, so the
    // caller clears it under a claim, as an Open clears a stale one.
    bool releasedWorkFileLeft = false;
};

// Whether the file loaded is still the save the commit copied, wherever its names are
// now: the caller's look, by its times and, where they cannot tell, its bytes.
enum class OnDisk { kAsLoaded, kChanged, kUnreadable };

// The old save as the commit loaded it, and the caller's look at it (the failed call,
// where the look could not be made, in `unreadable`).
struct LoadedSave {
    const FileInfo& asLoaded;
    std::function<OnDisk(FileStatus& unreadable)> stillAsLoaded;
};

// Puts the work file (whole, synced, and claimed by `work`) in the save's place and
// the old save in the backup's, the previous backup kept among the `keep` newest
// versions (or, keeping none, replaced once the new save is in place).
ReplaceOutcome ReplaceSave(FileSystem& files, const std::string& savePath,
                           const std::string& workPath, WorkFile& work, const LoadedSave& loaded,
                           int keep);

// A restore: the save at `savePath` and its backup swap names, in one step where the
// file system can, else through ".swap" by three renames, each undone when a later one
// fails. `saveFile` is the save, claimed: another program's save that takes the save's
// name meanwhile is newer, and the one put aside goes. On failure the names are as
// they were, or the error says where each version is.
ReplaceOutcome ExchangeWithBackup(FileSystem& files, const std::string& savePath,
                                  const std::string& backup, FileHandle saveFile);

// Renames `from` to the free name `to` and makes the rename durable (the folder of
// `to` synced) before anything else moves: a file system without a journal (FAT,
// exFAT) may otherwise keep a later rename and lose this one, and with it the version
// it moved. A rename that cannot be made durable is undone (and the undo synced as
// far as the folder lets), as if it had failed.
FileStatus DurableRename(FileSystem& files, const std::string& from, const std::string& to);

}  // namespace quellhart
