#include "tests/support/PowerLossFileSystem.h"

#include <algorithm>
#include <optional>

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
    const auto take = [&](const std::string& path) {
        const auto found = names.find(path);
        if (found == names.end()) return std::optional<std::uint64_t>();
        const std::uint64_t index = found->second;
        names.erase(found);
        return std::optional(index);
    };
    switch (change.kind) {
        case NameChange::kCreate:
            names[change.first] = change.index;
            break;
        case NameChange::kRename:
            if (const auto index = take(change.first)) names[change.second] = *index;
            break;
        case NameChange::kExchange: {
            const auto first = take(change.first), second = take(change.second);
            if (first) names[change.second] = *first;
            if (second) names[change.first] = *second;
            break;
        }
        case NameChange::kLink:
            if (const auto found = names.find(change.first); found != names.end())
                names[change.second] = found->second;
            break;
        case NameChange::kRemove:
            names.erase(change.first);
            break;
    }
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

std::string PowerLossFileSystem::UnsyncedNameChangesText() const {
    static const char* const kKinds[] = {"create", "rename", "exchange", "link", "remove"};
    std::string text;
    for (const NameChange& change : unsynced_) {
        text += (text.empty() ? "" : ", ") + std::string(kKinds[change.kind]) + " " + change.first;
        if (!change.second.empty()) text += " -> " + change.second;
    }
    return text;
}

bool PowerLossFileSystem::Goes(const std::string& path) {
    ++calls_;
    if (!path.empty()) folders_.insert(FolderOf(path));
    return stopAtCall == 0 || calls_ < stopAtCall;
}

FileStatus PowerLossFileSystem::Logged(FileStatus status, NameChange change) {
    if (status.Ok()) unsynced_.push_back(std::move(change));
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

// The folder's changes of names reach the disk, in the order they were made, each
// whole (a rename between two folders among them).
FileStatus PowerLossFileSystem::SyncFolderOf(const std::string& path) {
    if (!Goes(path)) return FileError::kFailed;
    const std::string folder = FolderOf(path);
    const auto touches = [&](const NameChange& change) {
        return FolderOf(change.first) == folder ||
               (!change.second.empty() && FolderOf(change.second) == folder);
    };
    for (const NameChange& change : unsynced_)
        if (touches(change)) Apply(change, diskNames_);
    std::erase_if(unsynced_, touches);
    return FileError::kNone;
}

FileStatus PowerLossFileSystem::OpenForReading(const std::string& path, FileHandle& file) {
    if (!Goes(path)) return FileError::kFailed;
    return live_.OpenForReading(path, file);
}

FileStatus PowerLossFileSystem::CreateNew(const std::string& path, FileHandle& file) {
    if (!Goes(path)) return FileError::kFailed;
    FileStatus created = live_.CreateNew(path, file);
    FileInfo info;
    if (created.Ok()) live_.Describe(file, info);
    return Logged(std::move(created), {NameChange::kCreate, path, {}, info.index});
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
    return live_.Describe(file, info);
}

FileStatus PowerLossFileSystem::DescribePath(const std::string& path, bool followLinks,
                                             FileInfo& info) {
    if (!Goes(path)) return FileError::kFailed;
    return live_.DescribePath(path, followLinks, info);
}

FileStatus PowerLossFileSystem::CopyAccess(FileHandle file, FileHandle from, const FileInfo& like) {
    if (!Goes()) return FileError::kFailed;
    return live_.CopyAccess(file, from, like);
}

FileStatus PowerLossFileSystem::TryLock(FileHandle file) {
    if (!Goes()) return FileError::kFailed;
    return live_.TryLock(file);
}

FileStatus PowerLossFileSystem::Rename(const std::string& from, const std::string& to) {
    if (!Goes(from)) return FileError::kFailed;
    folders_.insert(FolderOf(to));
    return Logged(live_.Rename(from, to), {NameChange::kRename, from, to});
}

FileStatus PowerLossFileSystem::RenameToFreeName(const std::string& from, const std::string& to) {
    if (!Goes(from)) return FileError::kFailed;
    folders_.insert(FolderOf(to));
    return Logged(live_.RenameToFreeName(from, to), {NameChange::kRename, from, to});
}

FileStatus PowerLossFileSystem::Exchange(const std::string& first, const std::string& second) {
    if (!Goes(first)) return FileError::kFailed;
    if (!exchangeSupported) return FileError::kNotSupported;
    return Logged(live_.Exchange(first, second), {NameChange::kExchange, first, second});
}

FileStatus PowerLossFileSystem::Link(const std::string& existing, const std::string& link) {
    if (!Goes(link)) return FileError::kFailed;
    if (!linksSupported) return FileError::kNotSupported;
    return Logged(live_.Link(existing, link), {NameChange::kLink, existing, link});
}

FileStatus PowerLossFileSystem::Remove(const std::string& path) {
    if (!Goes(path)) return FileError::kFailed;
    return Logged(live_.Remove(path), {NameChange::kRemove, path, {}});
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
