// Every call the save document makes to the operating system's files goes through
// this interface: opening, reading, writing, copying, syncing, renaming, deleting,
// locking and asking what a file is. There is one implementation for the system
// (POSIX here) and the tests wrap it to fail any call, or to stop a commit at any call
// as if the process had died there, and so prove that a save survives every such
// moment.
//
// Paths are UTF-8 byte strings as the program holds them. Handles are opaque; a call
// on one that fails names the file the handle was opened by.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace quellhart {

using FileHandle = std::intptr_t;
inline constexpr FileHandle kNoFile = -1;

// What went wrong, as far as the document needs to tell cases apart.
enum class FileError {
    kNone,
    kNotFound,        // no file of that name
    kExists,          // an exclusive create met an existing file or link
    kNotRegularFile,  // a folder, a FIFO, a device, a socket
    kLocked,          // another handle holds the lock
    kNotSupported,    // the file system cannot do this (an atomic exchange, say)
    kFailed,          // any other failure: I/O error, full disk, no permission
};

// The outcome of one call: how it went, and for a failure the system's own words for
// it ("No space left on device") and the file it concerned, or for a call on two
// names (a rename) both. Each call returns its own; a failure's cause is never looked
// up afterwards, when other calls may have failed since. The words are left out where
// the kind says all (no such file, a lock held elsewhere, a name taken).
class FileStatus {
public:
    FileStatus() = default;
    // A kind alone: a failure the system gave no words for, or success.
    FileStatus(FileError kind) : kind_(kind) {}  // NOLINT(google-explicit-constructor)
    FileStatus(FileError kind, std::string reason, std::string path, std::string toPath = {})
        : kind_(kind),
          reason_(std::move(reason)),
          path_(std::move(path)),
          toPath_(std::move(toPath)) {}

    bool Ok() const { return kind_ == FileError::kNone; }
    FileError Kind() const { return kind_; }
    // The line a message gives the failure's cause: "PATH: reason", "PATH -> TO:
    // reason", or the reason alone where no file was named; empty where the system
    // gave no words.
    std::string Cause() const {
        if (reason_.empty() || path_.empty()) return reason_;
        return path_ + (toPath_.empty() ? "" : " -> " + toPath_) + ": " + reason_;
    }

    friend bool operator==(const FileStatus& status, FileError kind) {
        return status.kind_ == kind;
    }

private:
    FileError kind_ = FileError::kNone;
    std::string reason_;
    std::string path_;
    std::string toPath_;
};

enum class FileKind { kRegular, kFolder, kLink, kOther };

// What identifies a file and its state: the same file has the same device and
// index, and a rewrite changes its size or modification time. A writer can put the
// modification time back (as `touch -r` does); the change time, which only the system
// sets, then still moves on, as it does for a new name or new access given to the file.
// Where the system keeps none it stays 0.
struct FileInfo {
    FileKind kind = FileKind::kOther;
    std::uint64_t device = 0;
    std::uint64_t index = 0;
    std::int64_t size = 0;
    std::int64_t modifiedNs = 0;
    std::int64_t changedNs = 0;
    std::uint32_t permissions = 0;
    std::uint32_t owner = 0;
    std::uint32_t group = 0;

    bool SameFile(const FileInfo& other) const {
        return device == other.device && index == other.index;
    }
    // For two descriptions of one file (through a handle held open, say): its
    // contents were not rewritten between them, as far as size and time tell.
    bool Unchanged(const FileInfo& before) const {
        return size == before.size && modifiedNs == before.modifiedNs;
    }
    // Nor anything else about it: its names, its access.
    bool Untouched(const FileInfo& before) const {
        return Unchanged(before) && changedNs == before.changedNs;
    }
};

class FileSystem {
public:
    virtual ~FileSystem() = default;

    // Opens an existing regular file for reading. Never blocks, whatever the name
    // stands for: anything but a regular file gives kNotRegularFile.
    virtual FileStatus OpenForReading(const std::string& path, FileHandle& file) = 0;
    // Creates a new file for reading and writing, readable and writable by its owner
    // only. Fails with kExists when any file or link already has that name.
    virtual FileStatus CreateNew(const std::string& path, FileHandle& file) = 0;
    // Closes the handle, releasing its lock. The handle is gone whatever the result.
    virtual FileStatus Close(FileHandle file) = 0;

    // Reads up to `count` bytes at `offset`; `got` is less than `count` only at the
    // end of the file.
    virtual FileStatus ReadAt(FileHandle file, std::int64_t offset, void* into, std::size_t count,
                              std::size_t& got) = 0;
    // Writes all `count` bytes at `offset`, or fails.
    virtual FileStatus WriteAt(FileHandle file, std::int64_t offset, const void* from,
                               std::size_t count) = 0;
    // Forces the file's data and size to disk.
    virtual FileStatus Sync(FileHandle file) = 0;
    // Asks the system to start writing a range of the file to disk now, so that a
    // later Sync waits for less; a hint, which may do nothing.
    virtual void StartWriteBack(FileHandle file, std::int64_t offset, std::int64_t length) = 0;
    // Says that the file being written will be about `size` bytes long: a layer that
    // holds files in memory takes the room at once, rather than growing the file by
    // doubling, which for a moment holds its bytes twice over. A hint, which may do
    // nothing.
    virtual void ExpectSize(FileHandle /*file*/, std::int64_t /*size*/) {}
    virtual FileStatus Describe(FileHandle file, FileInfo& info) = 0;
    // Describes what the name stands for; a link is described itself, not followed,
    // unless `followLinks`.
    virtual FileStatus DescribePath(const std::string& path, bool followLinks, FileInfo& info) = 0;
    // Gives `file` the access of `from` (described as `like`): its owner and group
    // where the process may set them, its extended attributes, among them an access
    // control list, and its permission bits. It never gives anyone access that `from`
    // does not give: where the list cannot be copied, the call fails.
    virtual FileStatus CopyAccess(FileHandle file, FileHandle from, const FileInfo& like) = 0;

    // An exclusive lock that other handles, in this process or another, cannot take
    // at the same time; kLocked at once when one holds it.
    virtual FileStatus TryLock(FileHandle file) = 0;
    virtual FileStatus Unlock(FileHandle file) = 0;

    // Renames `from` to `to`, replacing a file named `to` in one step.
    virtual FileStatus Rename(const std::string& from, const std::string& to) = 0;
    // The same, only while no file or link has the name `to`: kExists when one has. A
    // file another program put there meanwhile (a game saving) is never replaced.
    virtual FileStatus RenameToFreeName(const std::string& from, const std::string& to) = 0;
    // Swaps the two names in one step; kNotSupported where the file system cannot.
    virtual FileStatus Exchange(const std::string& first, const std::string& second) = 0;
    // The system's own replace-with-backup (Windows): `replacement` takes the name
    // `replaced`, keeping the replaced file's attributes and access list, and the
    // replaced file takes the name `backup`. On failure every name is as it was.
    // No other handle may be open on `replacement`.
    virtual FileStatus ReplaceWithBackup(const std::string& replaced,
                                         const std::string& replacement,
                                         const std::string& backup) = 0;
    virtual bool ReplacesWithBackup() const = 0;
    // Gives the file named `existing` the further name `link` (a hard link); kExists
    // when the name is taken, kNotSupported where the file system has no such links.
    virtual FileStatus Link(const std::string& existing, const std::string& link) = 0;
    virtual FileStatus Remove(const std::string& path) = 0;
    // The path of the file that `path` names, through symbolic links (a save kept in a
    // synced folder and linked from the game's); `path` itself when it is no link or
    // the link leads nowhere.
    virtual std::string FinalPath(const std::string& path) = 0;
    // Forces the folder holding `path` to disk, so that renames in it are durable.
    virtual FileStatus SyncFolderOf(const std::string& path) = 0;
    // Makes the folder `path`, readable and writable by its owner only (and by whom
    // the folder above lets in, where access is inherited); kExists when any file or
    // folder already has that name.
    virtual FileStatus CreateFolder(const std::string& path) = 0;
    // The names in the folder `path` (without "." and ".."), in no particular order.
    virtual FileStatus ListFolder(const std::string& path, std::vector<std::string>& names) = 0;

    // A short note of the program's own kept with a file (an extended attribute): it
    // stays with the file through renames, is never given to another file by
    // CopyAccess, and is lost by a copy. kNotSupported where the file system keeps
    // none; a layer without notes keeps none.
    virtual FileStatus SetNote(FileHandle /*file*/, const std::string& /*note*/) {
        return FileError::kNotSupported;
    }
    // The note of the file `path` names (through links), or kNotFound for none.
    virtual FileStatus ReadNote(const std::string& /*path*/, std::string& /*note*/) {
        return FileError::kNotSupported;
    }
};

// The operating system's files.
FileSystem& SystemFileSystem();

}  // namespace quellhart
