#include "tests/support/PowerLossFileSystem.h"

#include <algorithm>
#include <optional>

#include "tests/support/CoarseTimes.h"

namespace quellhart::test {
namespace {

std::string FolderOf(const std::string& path) {
    const size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash);
}

}  // namespace

PowerLossFileSystem::PowerLossFileSystem(const std::map<std::string, std::string>& files) {
    for (const auto& [path, bytes] : files) {
        live_.Put(path, bytes);
        folders_.insert(FolderOf(path));
        FileInfo info;
        live_.DescribePath(path, false, info);
        diskNames_[path] = info.index;
        diskBytes_[info.index] = bytes;
    }
}

void PowerLossFileSystem::Apply(const NameChange& change, Names& names) {
    for (const auto& [path, index] : change.entries) {
        if (index)
            names[path] = *index;
        else
            names.erase(path);
    }
}

std::string PowerLossFileSystem::UnsyncedNameChangesText() const {
    std::string text;
    for (const NameChange& change : unsynced_) text += (text.empty() ? "" : ", ") + change.text;
    return text;
}

std::map<std::uint64_t, std::string> PowerLossFileSystem::LiveBytes() {
    std::map<std::uint64_t, std::string> bytes;
    for (const std::string& folder : folders_) {
        std::vector<std::string> names;
        live_.ListFolder(folder, names);
        for (const std::string& name : names) {
            FileInfo info;
            if (live_.DescribePath(folder + "/" + name, false, info).Ok())
                bytes[info.index] = *live_.Contents(folder + "/" + name);
        }
    }
    return bytes;
}

std::unique_ptr<MemoryFileSystem> PowerLossFileSystem::AfterPowerCut(std::uint32_t keptChanges,
                                                                     bool keptBytes) {
    Names names = diskNames_;
    for (size_t i = 0; i < unsynced_.size(); ++i)
        if (keptChanges & (1u << i)) Apply(unsynced_[i], names);
    const auto live = LiveBytes();
    std::map<std::uint64_t, std::vector<std::string>> byIndex;
    for (const auto& [path, index] : names) byIndex[index].push_back(path);
    auto disk = std::make_unique<MemoryFileSystem>();
    for (const auto& [index, paths] : byIndex) {
        std::string content;
        if (const auto now = live.find(index); keptBytes && now != live.end()) {
            content = now->second;
        } else if (const auto synced = diskBytes_.find(index); synced != diskBytes_.end()) {
            content = synced->second;
        }
        disk->Put(paths.front(), content);
        for (size_t i = 1; i < paths.size(); ++i) disk->Link(paths.front(), paths[i]);
    }
    return disk;
}

bool PowerLossFileSystem::Goes(const std::string& path) {
    ++calls_;
    if (!path.empty()) folders_.insert(FolderOf(path));
    return stopAtCall == 0 || calls_ < stopAtCall;
}

FileStatus PowerLossFileSystem::Logged(FileStatus status, std::string text,
                                       std::vector<std::string> paths) {
    if (!status.Ok()) return status;
    NameChange change{std::move(text), {}, {}};
    for (const std::string& path : paths) {
        folders_.insert(FolderOf(path));
        FileInfo info;
        std::optional<std::uint64_t> index;
        if (live_.DescribePath(path, false, info).Ok()) index = info.index;
        change.entries.emplace_back(path, index);
        change.unsyncedFolders.insert(FolderOf(path));
    }
    unsynced_.push_back(std::move(change));
    return status;
}

FileStatus PowerLossFileSystem::Sync(FileHandle file) {
    if (!Goes()) return FileError::kFailed;
    FileInfo info;
    if (FileStatus described = live_.Describe(file, info); !described.Ok()) return described;
    std::string bytes(size_t(info.size), '\0');
    size_t got = 0;
    if (FileStatus read = live_.ReadAt(file, 0, bytes.data(), bytes.size(), got); !read.Ok())
        return read;
    diskBytes_[info.index] = bytes.substr(0, got);
    return FileError::kNone;
}

FileStatus PowerLossFileSystem::SyncFolderOf(const std::string& path) {
    if (!Goes(path)) return FileError::kFailed;
    const std::string folder = FolderOf(path);
    // A journal writes every change so far; without one, a change is written once each
    // of its folders has been.
    std::erase_if(unsynced_, [&](NameChange& change) {
        change.unsyncedFolders.erase(folder);
        const bool written = journal || change.unsyncedFolders.empty();
        if (written) Apply(change, diskNames_);
        return written;
    });
    return FileError::kNone;
}

FileStatus PowerLossFileSystem::OpenForReading(const std::string& path, FileHandle& file) {
    if (!Goes(path)) return FileError::kFailed;
    return live_.OpenForReading(path, file);
}

FileStatus PowerLossFileSystem::CreateNew(const std::string& path, FileHandle& file) {
    if (!Goes(path)) return FileError::kFailed;
    return Logged(live_.CreateNew(path, file), "create " + path, {path});
}

FileStatus PowerLossFileSystem::ReadAt(FileHandle file, std::int64_t offset, void* into,
                                       std::size_t count, std::size_t& got) {
    if (!Goes()) return FileError::kFailed;
    return live_.ReadAt(file, offset, into, count, got);
}

FileStatus PowerLossFileSystem::WriteAt(FileHandle file, std::int64_t offset, const void* from,
                                        std::size_t count) {
    if (!Goes()) return FileError::kFailed;
    return live_.WriteAt(file, offset, from, count);
}

FileStatus PowerLossFileSystem::Describe(FileHandle file, FileInfo& info) {
    if (!Goes()) return FileError::kFailed;
    return Coarsened(live_.Describe(file, info), info);
}

FileStatus PowerLossFileSystem::DescribePath(const std::string& path, bool followLinks,
                                             FileInfo& info) {
    if (!Goes(path)) return FileError::kFailed;
    return Coarsened(live_.DescribePath(path, followLinks, info), info);
}

FileStatus PowerLossFileSystem::Coarsened(FileStatus described, FileInfo& info) const {
    if (coarseTimes) CoarsenTimes(info, coarseTimes);
    return described;
}

FileStatus PowerLossFileSystem::CopyAccess(FileHandle file, FileHandle from, const FileInfo& like) {
    if (!Goes()) return FileError::kFailed;
    return live_.CopyAccess(file, from, like);
}

FileStatus PowerLossFileSystem::TryLock(FileHandle file) {
    if (!Goes()) return FileError::kFailed;
    if (!locksSupported) return FileError::kNotSupported;
    return live_.TryLock(file);
}

FileStatus PowerLossFileSystem::Rename(const std::string& from, const std::string& to) {
    if (!Goes(from)) return FileError::kFailed;
    return Logged(live_.Rename(from, to), "rename " + from + " -> " + to, {from, to});
}

FileStatus PowerLossFileSystem::RenameToFreeName(const std::string& from, const std::string& to) {
    if (!Goes(from)) return FileError::kFailed;
    return Logged(live_.RenameToFreeName(from, to), "rename " + from + " -> " + to, {from, to});
}

FileStatus PowerLossFileSystem::Exchange(const std::string& first, const std::string& second) {
    if (!Goes(first)) return FileError::kFailed;
    if (!exchangeSupported) return FileError::kNotSupported;
    return Logged(live_.Exchange(first, second), "exchange " + first + " <-> " + second,
                  {first, second});
}

FileStatus PowerLossFileSystem::Link(const std::string& existing, const std::string& link) {
    if (!Goes(link)) return FileError::kFailed;
    if (!linksSupported) return FileError::kNotSupported;
    return Logged(live_.Link(existing, link), "link " + link + " to " + existing, {link});
}

FileStatus PowerLossFileSystem::Remove(const std::string& path) {
    if (!Goes(path)) return FileError::kFailed;
    return Logged(live_.Remove(path), "remove " + path, {path});
}

FileStatus PowerLossFileSystem::CreateFolder(const std::string& path) {
    if (!Goes(path + "/")) return FileError::kFailed;
    return live_.CreateFolder(path);
}

FileStatus PowerLossFileSystem::ListFolder(const std::string& path,
                                           std::vector<std::string>& names) {
    if (!Goes(path + "/")) return FileError::kFailed;
    return live_.ListFolder(path, names);
}

std::map<std::string, std::string> FilesIn(MemoryFileSystem& files,
                                           const std::vector<std::string>& folders) {
    std::map<std::string, std::string> found;
    for (const std::string& folder : folders) {
        std::vector<std::string> names;
        files.ListFolder(folder, names);
        for (const std::string& name : names)
            found[folder + "/" + name] = *files.Contents(folder + "/" + name);
    }
    return found;
}

}  // namespace quellhart::test
