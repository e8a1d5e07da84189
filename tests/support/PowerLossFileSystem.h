// A file system that can lose its power: files held in memory and, beside them, what a
// disk would still hold if the power went now, after SQLite's crash-test layer and
// LevelDB's fault-injection environment. A file's bytes reach the disk when the file
// is synced; a change of names (a new file, a rename, an exchange, a link, a removal)
// when a folder it touches is synced. A power cut keeps or drops each change of names
// not yet synced, in any combination (a file system without a journal, such as FAT,
// keeps them in no particular order), and the unsynced bytes of every file or none;
// what is left is a new file system on which the next Open runs. A file never synced
// is empty on the disk (its blocks were never written).
//
// Every call is counted; from a chosen call on every call fails, as if the process
// had died there (its open files are still closed, as the system closes a dead
// process's).
#pragma once

#include <cstdint>
#include <map>
#include <memory>
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
    int Calls() const { return calls_; }

    // How many changes of names are not synced yet.
    int UnsyncedNameChanges() const { return int(unsynced_.size()); }
    // Them, for a failure's message ("rename a -> b, remove c").
    std::string UnsyncedNameChangesText() const;
    // The disk a power cut leaves that keeps the unsynced changes of names whose bit
    // is set in `keptChanges` (bit 0 the earliest), and the unsynced bytes or none.
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
    // A change of names: the file's index for a new name, the two paths for a rename
    // or an exchange or a link, the path for a removal.
    struct NameChange {
        enum Kind { kCreate, kRename, kExchange, kLink, kRemove } kind;
        std::string first, second;
        std::uint64_t index = 0;
    };
    using Names = std::map<std::string, std::uint64_t>;  // path: file index
    static void Apply(const NameChange& change, Names& names);
    // Counts the call; false when the process has stopped.
    bool Goes(const std::string& path = {});
    // Keeps a change that went through, to be synced or lost.
    FileStatus Logged(FileStatus status, NameChange change);
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
