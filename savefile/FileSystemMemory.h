// Files held in memory: a map of names to contents, with everything the save
// document asks of a file system done for real (an exclusive create, an exchange of
// two names in one step, hard links, locks that exclude other handles). The browser
// edition keeps the save it was given here, commits it here as anywhere else, and
// hands the new save and its backup back to the page; tests use it where no disk is
// wanted.
//
// Names are whole strings, and a folder is the part of them before a "/": a file put
// under "a.history/v.ess" makes the folder "a.history" as well. There are no symbolic
// links.
#pragma once

#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <set>
#include <string>

#include "savefile/FileSystem.h"

namespace quellhart {

class MemoryFileSystem final : public FileSystem {
public:
    // Puts `bytes` under `path`, as a new file (a file already there loses the name),
    // last written at `modifiedNs` (nanoseconds since 1970, UTC), or now.
    void Put(const std::string& path, std::string bytes,
             std::optional<std::int64_t> modifiedNs = std::nullopt);
    // The contents of the file named `path`, if there is one.
    std::optional<std::string> Contents(const std::string& path) const;
    // The same without a copy (a save may be large): valid until the file is written
    // or loses its last name; null when there is no such file.
    const std::string* Peek(const std::string& path) const;

    FileStatus OpenForReading(const std::string& path, FileHandle& file) override;
    FileStatus CreateNew(const std::string& path, FileHandle& file) override;
    FileStatus Close(FileHandle file) override;
    FileStatus ReadAt(FileHandle file, std::int64_t offset, void* into, std::size_t count,
                      std::size_t& got) override;
    FileStatus WriteAt(FileHandle file, std::int64_t offset, const void* from,
                       std::size_t count) override;
    FileStatus Sync(FileHandle) override { return FileError::kNone; }
    void StartWriteBack(FileHandle, std::int64_t, std::int64_t) override {}
    void ExpectSize(FileHandle file, std::int64_t size) override;
    FileStatus Describe(FileHandle file, FileInfo& info) override;
    FileStatus DescribePath(const std::string& path, bool followLinks, FileInfo& info) override;
    FileStatus CopyAccess(FileHandle file, FileHandle from, const FileInfo& like) override;
    FileStatus TryLock(FileHandle file) override;
    FileStatus Unlock(FileHandle file) override;
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
    FileStatus SyncFolderOf(const std::string&) override { return FileError::kNone; }
    FileStatus CreateFolder(const std::string& path) override;
    FileStatus ListFolder(const std::string& path, std::vector<std::string>& names) override;
    FileStatus SetNote(FileHandle file, const std::string& note) override;
    FileStatus ReadNote(const std::string& path, std::string& note) override;

private:
    struct File {
        std::string bytes;
        std::uint64_t index = 0;
        std::int64_t modifiedNs = 0;
        std::uint32_t permissions = 0600;
        FileHandle lockedBy = kNoFile;
        std::optional<std::string> note;
    };
    struct Open {
        std::shared_ptr<File> file;
        bool writable = false;
    };

    std::shared_ptr<File> NewFile();
    static FileInfo InfoOf(const File& file);
    bool IsFolder(const std::string& path) const;
    Open* Find(FileHandle file);

    // The native tests may call from several threads; the document itself never does.
    mutable std::mutex mutex_;
    std::map<std::string, std::shared_ptr<File>> names_;
    std::map<FileHandle, Open> open_;
    std::set<std::string> folders_;  // made empty; others exist while files are in them
    FileHandle nextHandle_ = 1;
    std::uint64_t nextIndex_ = 1;
    // The time of day, moved on by at least one with every write, so that a rewrite
    // always changes the time.
    std::int64_t Tick();
    std::int64_t clock_ = 0;
};

}  // namespace quellhart
