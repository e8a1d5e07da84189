// The system's files with faults on demand: every call is counted and named, and a
// test decides for each call whether it fails. A failed call has no effect, so
// failing every call from some point on stops a commit there as if the process had
// died (its open files are still closed, as the system closes a dead process's).
#pragma once

#include <functional>
#include <new>
#include <string>
#include <string_view>
#include <vector>

#include "savefile/FileSystem.h"

namespace quellhart::test {

class FaultyFileSystem final : public FileSystem {
public:
    // Decides the outcome of call number `call` (from 1) named `name`; kNone lets it
    // through to the system.
    using Fault = std::function<FileError(int call, std::string_view name)>;

    FaultyFileSystem() = default;
    explicit FaultyFileSystem(Fault fault) : fault_(std::move(fault)) {}

    // The n-th call fails with `error`; every other call goes through.
    static FaultyFileSystem FailingCall(int n, FileError error);
    // The n-th call and every later one fail.
    static FaultyFileSystem CrashingAtCall(int n);

    // A file system that cannot exchange two names in one step, or give a file a
    // second name (FAT, say).
    bool exchangeSupported = true;
    bool linksSupported = true;
    bool replaceSupported = true;
    // A write that covers this file offset reaches the disk with the byte there
    // changed and is reported as done: a disk that corrupts what it is given.
    std::int64_t corruptByteAt = -1;
    // Files held in memory, with no room left for the new save (a browser's limit).
    bool noRoomForTheNewSave = false;
    // Times kept to this tick (kFatTimes, kExFatTimes; 0: the system's own), and no
    // change time but the modification time: a rewrite that puts the time back cannot
    // be told by the times.
    std::int64_t coarseTimes = 0;

    // From now on, `fault` decides.
    void InjectFaults(Fault fault) { fault_ = std::move(fault); }

    int Calls() const { return int(names_.size()); }
    const std::vector<std::string>& Names() const { return names_; }

    FileStatus OpenForReading(const std::string& path, FileHandle& file) override;
    FileStatus CreateNew(const std::string& path, FileHandle& file) override;
    FileStatus Close(FileHandle file) override;
    FileStatus ReadAt(FileHandle file, std::int64_t offset, void* into, std::size_t count,
                      std::size_t& got) override;
    FileStatus WriteAt(FileHandle file, std::int64_t offset, const void* from,
                       std::size_t count) override;
    FileStatus Sync(FileHandle file) override;
    void StartWriteBack(FileHandle file, std::int64_t offset, std::int64_t length) override {
        system_.StartWriteBack(file, offset, length);
    }
    void ExpectSize(FileHandle file, std::int64_t size) override {
        if (noRoomForTheNewSave) throw std::bad_alloc();
        system_.ExpectSize(file, size);
    }
    FileStatus Describe(FileHandle file, FileInfo& info) override;
    FileStatus DescribePath(const std::string& path, bool followLinks, FileInfo& info) override;
    FileStatus CopyAccess(FileHandle file, FileHandle from, const FileInfo& like) override;
    FileStatus TryLock(FileHandle file) override;
    FileStatus Unlock(FileHandle file) override;
    FileStatus Rename(const std::string& from, const std::string& to) override;
    FileStatus RenameToFreeName(const std::string& from, const std::string& to) override;
    FileStatus Exchange(const std::string& first, const std::string& second) override;
    FileStatus ReplaceWithBackup(const std::string& replaced, const std::string& replacement,
                                 const std::string& backup) override;
    bool ReplacesWithBackup() const override {
        return replaceSupported && system_.ReplacesWithBackup();
    }
    FileStatus Link(const std::string& existing, const std::string& link) override;
    FileStatus Remove(const std::string& path) override;
    FileStatus SyncFolderOf(const std::string& path) override;
    FileStatus CreateFolder(const std::string& path) override;
    FileStatus ListFolder(const std::string& path, std::vector<std::string>& names) override;
    FileStatus SetNote(FileHandle file, const std::string& note) override;
    FileStatus ReadNote(const std::string& path, std::string& note) override;
    std::string FinalPath(const std::string& path) override { return system_.FinalPath(path); }

private:
    // An injected failure (kFailed) gives as its reason the call's name, "WriteAt failed
    // (injected)", and the path where the call names one.
    FileStatus Injected(std::string_view name, const std::string& path);
    FileStatus Coarsened(FileStatus described, FileInfo& info) const;
    // Writes `bytes`, with the byte at `corruptByteAt` changed if they cover it.
    FileStatus WriteCorrupted(FileHandle file, std::int64_t offset, std::string bytes);

    Fault fault_;
    std::vector<std::string> names_;
    FileSystem& system_ = SystemFileSystem();
};

// Whether the system's file layer can exchange two names in one step here (Linux on
// most file systems can, Windows cannot); what a commit guarantees depends on it.
bool SystemExchangesNames();

}  // namespace quellhart::test
