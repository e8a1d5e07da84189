// A file system that can lose its power: files held in memory and, beside them, what a
// disk would still hold if the power went now, after SQLite's crash-test layer and
// LevelDB's fault-injection environment. A file's bytes reach the disk when the file
// is synced; a change of names (a new file, a rename, an exchange, a link, a removal)
// when the folders it touches are synced. Each change reaches the disk whole. With a
// journal (ext4, XFS, Btrfs; NFS and SMB servers, whose calls are done when they
// return) changes of names reach the disk in the order they were made, all of them at
// any folder's sync, and a power cut keeps those up to some point; without one (FAT,
// exFAT) a power cut keeps any of those not yet synced. The unsynced bytes of every
// file are kept, or none; a file never synced is empty on the disk (its blocks were
// never written). What is left is a new file system on which the next Open runs.
//
// Every call is counted; from a chosen call on every call fails, as if the process
// had died there (its open files are still closed, as the system closes a dead
// process's).
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "savefile/FileSystemMemory.h"

namespace quellhart::test {

class PowerLossFileSystem final : public FileSystem {
public:
    // Starts with `files` (path: bytes), all of them on the disk.
    explicit PowerLossFileSystem(const std::map<std::string, std::string>& files);

    int stopAtCall = 0;  // 0: never
    bool exchangeSupported = true;
    bool linksSupported = true;
    bool journal = true;  // changes of names in order, each whole
    // Times kept to this tick (FAT's 2 s, exFAT's 10 ms; 0: fine), and the change time
    // the modification time.
    std::int64_t coarseTimes = 0;
    // No locks (NFS without its lock service): every lock is refused as unsupported.
    bool locksSupported = true;
    int Calls() const { return calls_; }

    // How many changes of names a power cut may keep or lose.
    int UnsyncedNameChanges() const { return int(unsynced_.size()); }
    // The unsynced changes, for a failure's message ("rename a -> b, remove c").
    std::string UnsyncedNameChangesText() const;
    // The disk a power cut leaves that keeps the unsynced changes of names whose bit is
    // set in `keptChanges` (bit 0 the earliest), and the unsynced bytes or none.
    std::unique_ptr<MemoryFileSystem> AfterPowerCut(std::uint32_t keptChanges, bool keptBytes);

    FileStatus OpenForReading(const std::string& path, FileHandle& file) override;
    FileStatus CreateNew(const std::string& path, FileHandle& file) override;
    FileStatus Close(FileHandle file) override { return live_.Close(file); }
    FileStatus ReadAt(FileHandle file, std::int64_t offset, void* into, std::size_t count,
                      std::size_t& got) override;
    FileStatus WriteAt(FileHandle file, std::int64_t offset, const void* from,
                       std::size_t count) override;
    FileStatus Sync(FileHandle file) override;
    void StartWriteBack(FileHandle, std::int64_t, std::int64_t) override {}
    FileStatus Describe(FileHandle file, FileInfo& info) override;
    FileStatus DescribePath(const std::string& path, bool followLinks, FileInfo& info) override;
    FileStatus CopyAccess(FileHandle file, FileHandle from, const FileInfo& like) override;
    FileStatus TryLock(FileHandle file) override;
    FileStatus Unlock(FileHandle file) override { return live_.Unlock(file); }
    FileStatus Rename(const std::string& from, const std::string& to) override;
    FileStatus RenameToFreeName(const std::string& from, const std::string& to) override;
    FileStatus Exchange(const std::string& first, const std::string& second) override;
    FileStatus ReplaceWithBackup(const std::string&, const std::string&,
                                 const std::string&) override {
        return FileError::kNotSupported;
    }
    bool ReplacesWithBackup() const override { return false; }
    FileStatus Link(const std::string& existing, const std::string& link) override;
    FileStatus Remove(const std::string& path) override;
    std::string FinalPath(const std::string& path) override { return path; }
    FileStatus SyncFolderOf(const std::string& path) override;
    FileStatus CreateFolder(const std::string& path) override;
    FileStatus ListFolder(const std::string& path, std::vector<std::string>& names) override;

private:
    using Names = std::map<std::string, std::uint64_t>;  // path: file index
    // A change of names: each path then names the file of that index, or nothing. It
    // is on the disk once each folder it touches has been synced since.
    struct NameChange {
        std::string text;
        std::vector<std::pair<std::string, std::optional<std::uint64_t>>> entries;
        std::set<std::string> unsyncedFolders;
    };
    static void Apply(const NameChange& change, Names& names);
    // Counts the call; false when the process has stopped.
    bool Goes(const std::string& path = {});
    // Keeps a change of the names `paths` that went through, as they are now, to be
    // synced or lost.
    FileStatus Logged(FileStatus status, std::string text, std::vector<std::string> paths);
    FileStatus Coarsened(FileStatus described, FileInfo& info) const;
    // The bytes each file holds now, by its index.
    std::map<std::uint64_t, std::string> LiveBytes();

    MemoryFileSystem live_;
    int calls_ = 0;
    std::set<std::string> folders_;  // every folder a path has named
    Names diskNames_;
    std::vector<NameChange> unsynced_;
    std::map<std::uint64_t, std::string> diskBytes_;  // file index: bytes
};

// Every file in `files`'s folders `folders` (path: bytes).
std::map<std::string, std::string> FilesIn(MemoryFileSystem& files,
                                           const std::vector<std::string>& folders);

}  // namespace quellhart::test
