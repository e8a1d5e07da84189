#include "tests/support/FaultyFileSystem.h"

#include <fstream>
#include <utility>

#include "tests/support/CoarseTimes.h"
#include "tests/support/TempDir.h"

namespace quellhart::test {

bool SystemExchangesNames() {
    static const bool exchanges = [] {
        const TempDir dir;
        std::ofstream(dir.File("first")) << "1";
        std::ofstream(dir.File("second")) << "2";
        return SystemFileSystem().Exchange(dir.File("first"), dir.File("second")) ==
               FileError::kNone;
    }();
    return exchanges;
}

FaultyFileSystem FaultyFileSystem::FailingCall(int n, FileError error) {
    return FaultyFileSystem(
        [=](int call, std::string_view) { return call == n ? error : FileError::kNone; });
}

FaultyFileSystem FaultyFileSystem::CrashingAtCall(int n) {
    return FaultyFileSystem([=](int call, std::string_view) {
        return call >= n ? FileError::kFailed : FileError::kNone;
    });
}

FileStatus FaultyFileSystem::Injected(std::string_view name, const std::string& path) {
    names_.emplace_back(name);
    const FileError injected = fault_ ? fault_(Calls(), name) : FileError::kNone;
    // A failure of any other kind tells nothing beyond its kind, as the system's do.
    if (injected != FileError::kFailed) return injected;
    return {injected, std::string(name) + " failed (injected)", path};
}

// Each call asks first; only a call that is let through reaches the system.
#define QH_PASS_UNLESS_INJECTED(name, path) \
    if (FileStatus injected = Injected(name, path); !injected.Ok()) return injected

FileStatus FaultyFileSystem::OpenForReading(const std::string& path, FileHandle& file) {
    file = kNoFile;
    QH_PASS_UNLESS_INJECTED("OpenForReading", path);
    return system_.OpenForReading(path, file);
}

FileStatus FaultyFileSystem::CreateNew(const std::string& path, FileHandle& file) {
    file = kNoFile;
    QH_PASS_UNLESS_INJECTED("CreateNew", path);
    return system_.CreateNew(path, file);
}

FileStatus FaultyFileSystem::Close(FileHandle file) {
    // The handle goes whatever the outcome, as a dead process's files are closed.
    FileStatus injected = Injected("Close", {});
    FileStatus closed = system_.Close(file);
    return injected.Ok() ? closed : injected;
}

FileStatus FaultyFileSystem::ReadAt(FileHandle file, std::int64_t offset, void* into,
                                    std::size_t count, std::size_t& got) {
    got = 0;
    QH_PASS_UNLESS_INJECTED("ReadAt", {});
    return system_.ReadAt(file, offset, into, count, got);
}

FileStatus FaultyFileSystem::WriteAt(FileHandle file, std::int64_t offset, const void* from,
                                     std::size_t count) {
    QH_PASS_UNLESS_INJECTED("WriteAt", {});
    return WriteCorrupted(file, offset, std::string(static_cast<const char*>(from), count));
}

FileStatus FaultyFileSystem::WriteCorrupted(FileHandle file, std::int64_t offset,
                                            std::string bytes) {
    if (corruptByteAt >= offset && corruptByteAt < offset + std::int64_t(bytes.size()))
        bytes[std::size_t(corruptByteAt - offset)] ^= 0x5A;
    return system_.WriteAt(file, offset, bytes.data(), bytes.size());
}

FileStatus FaultyFileSystem::Sync(FileHandle file) {
    QH_PASS_UNLESS_INJECTED("Sync", {});
    return system_.Sync(file);
}

FileStatus FaultyFileSystem::Describe(FileHandle file, FileInfo& info) {
    QH_PASS_UNLESS_INJECTED("Describe", {});
    return Coarsened(system_.Describe(file, info), info);
}

FileStatus FaultyFileSystem::DescribePath(const std::string& path, bool followLinks,
                                          FileInfo& info) {
    QH_PASS_UNLESS_INJECTED("DescribePath", path);
    return Coarsened(system_.DescribePath(path, followLinks, info), info);
}

FileStatus FaultyFileSystem::Coarsened(FileStatus described, FileInfo& info) const {
    if (coarseTimes) CoarsenTimes(info, coarseTimes);
    return described;
}

FileStatus FaultyFileSystem::CopyAccess(FileHandle file, FileHandle from, const FileInfo& like) {
    QH_PASS_UNLESS_INJECTED("CopyAccess", {});
    return system_.CopyAccess(file, from, like);
}

FileStatus FaultyFileSystem::TryLock(FileHandle file) {
    QH_PASS_UNLESS_INJECTED("TryLock", {});
    return system_.TryLock(file);
}

FileStatus FaultyFileSystem::Unlock(FileHandle file) {
    QH_PASS_UNLESS_INJECTED("Unlock", {});
    return system_.Unlock(file);
}

FileStatus FaultyFileSystem::Rename(const std::string& from, const std::string& to) {
    QH_PASS_UNLESS_INJECTED("Rename", from);
    return system_.Rename(from, to);
}

FileStatus FaultyFileSystem::RenameToFreeName(const std::string& from, const std::string& to) {
    QH_PASS_UNLESS_INJECTED("RenameToFreeName", from);
    return system_.RenameToFreeName(from, to);
}

FileStatus FaultyFileSystem::Exchange(const std::string& first, const std::string& second) {
    QH_PASS_UNLESS_INJECTED("Exchange", first);
    // As Linux says it of FAT: words that must not be taken for a later call's.
    if (!exchangeSupported) return {FileError::kNotSupported, "Invalid argument", first};
    return system_.Exchange(first, second);
}

FileStatus FaultyFileSystem::ReplaceWithBackup(const std::string& replaced,
                                               const std::string& replacement,
                                               const std::string& backup) {
    QH_PASS_UNLESS_INJECTED("ReplaceWithBackup", replaced);
    return system_.ReplaceWithBackup(replaced, replacement, backup);
}

FileStatus FaultyFileSystem::Link(const std::string& existing, const std::string& link) {
    QH_PASS_UNLESS_INJECTED("Link", link);
    if (!linksSupported) return FileError::kNotSupported;
    return system_.Link(existing, link);
}

FileStatus FaultyFileSystem::Remove(const std::string& path) {
    QH_PASS_UNLESS_INJECTED("Remove", path);
    return system_.Remove(path);
}

FileStatus FaultyFileSystem::SyncFolderOf(const std::string& path) {
    QH_PASS_UNLESS_INJECTED("SyncFolderOf", path);
    return system_.SyncFolderOf(path);
}

FileStatus FaultyFileSystem::CreateFolder(const std::string& path) {
    QH_PASS_UNLESS_INJECTED("CreateFolder", path);
    return system_.CreateFolder(path);
}

FileStatus FaultyFileSystem::ListFolder(const std::string& path, std::vector<std::string>& names) {
    QH_PASS_UNLESS_INJECTED("ListFolder", path);
    return system_.ListFolder(path, names);
}

// FAT and exFAT, whose times are coarse, keep no notes either.
FileStatus FaultyFileSystem::SetNote(FileHandle file, const std::string& note) {
    QH_PASS_UNLESS_INJECTED("SetNote", {});
    if (coarseTimes) return FileError::kNotSupported;
    return system_.SetNote(file, note);
}

FileStatus FaultyFileSystem::ReadNote(const std::string& path, std::string& note) {
    QH_PASS_UNLESS_INJECTED("ReadNote", path);
    if (coarseTimes) return FileError::kNotSupported;
    return system_.ReadNote(path, note);
}

#undef QH_PASS_UNLESS_INJECTED

}  // namespace quellhart::test
