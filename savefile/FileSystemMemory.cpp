#include "savefile/FileSystemMemory.h"

#include <algorithm>
#include <chrono>
#include <cstring>
#include <utility>

namespace quellhart {

// A device number of its own, so that no file here is ever the same as a disk's.
constexpr std::uint64_t kMemoryDevice = 0x4D454D;

namespace {}  // namespace

std::int64_t MemoryFileSystem::Tick() {
    const std::int64_t now = std::chrono::duration_cast<std::chrono::nanoseconds>(
                                 std::chrono::system_clock::now().time_since_epoch())
                                 .count();
    clock_ = std::max(now, clock_ + 1);
    return clock_;
}

std::shared_ptr<MemoryFileSystem::File> MemoryFileSystem::NewFile() {
    auto file = std::make_shared<File>();
    file->index = nextIndex_++;
    file->modifiedNs = Tick();
    return file;
}

MemoryFileSystem::Open* MemoryFileSystem::Find(FileHandle file) {
    const auto found = open_.find(file);
    return found == open_.end() ? nullptr : &found->second;
}

void MemoryFileSystem::Put(const std::string& path, std::string bytes,
                           std::optional<std::int64_t> modifiedNs) {
    const std::lock_guard lock(mutex_);
    auto file = NewFile();
    file->bytes = std::move(bytes);
    if (modifiedNs) file->modifiedNs = *modifiedNs;
    names_[path] = std::move(file);
}

std::optional<std::string> MemoryFileSystem::Contents(const std::string& path) const {
    const std::lock_guard lock(mutex_);
    const auto found = names_.find(path);
    if (found == names_.end()) return std::nullopt;
    return found->second->bytes;
}

const std::string* MemoryFileSystem::Peek(const std::string& path) const {
    const std::lock_guard lock(mutex_);
    const auto found = names_.find(path);
    return found == names_.end() ? nullptr : &found->second->bytes;
}

FileStatus MemoryFileSystem::OpenForReading(const std::string& path, FileHandle& file) {
    const std::lock_guard lock(mutex_);
    file = kNoFile;
    const auto found = names_.find(path);
    if (found == names_.end()) return FileError::kNotFound;
    file = nextHandle_++;
    open_[file] = {found->second, false};
    return FileError::kNone;
}

FileStatus MemoryFileSystem::CreateNew(const std::string& path, FileHandle& file) {
    const std::lock_guard lock(mutex_);
    file = kNoFile;
    if (names_.count(path)) return FileError::kExists;
    auto created = NewFile();
    names_[path] = created;
    file = nextHandle_++;
    open_[file] = {std::move(created), true};
    return FileError::kNone;
}

FileStatus MemoryFileSystem::Close(FileHandle file) {
    const std::lock_guard lock(mutex_);
    Open* open = Find(file);
    if (!open) return FileError::kFailed;
    if (open->file->lockedBy == file) open->file->lockedBy = kNoFile;
    open_.erase(file);
    return FileError::kNone;
}

FileStatus MemoryFileSystem::ReadAt(FileHandle file, std::int64_t offset, void* into,
                                    std::size_t count, std::size_t& got) {
    const std::lock_guard lock(mutex_);
    got = 0;
    Open* open = Find(file);
    if (!open || offset < 0) return FileError::kFailed;
    const std::string& bytes = open->file->bytes;
    if (std::uint64_t(offset) >= bytes.size()) return FileError::kNone;
    got = std::min(count, bytes.size() - std::size_t(offset));
    std::memcpy(into, bytes.data() + offset, got);
    return FileError::kNone;
}

void MemoryFileSystem::ExpectSize(FileHandle file, std::int64_t size) {
    // Room for the expected size; a file written piece by piece (a commit's new save,
    // copied from the old one) then never grows by doubling, which for a moment would
    // hold its bytes twice over and room for twice as many (three times the save in
    // all, with the old save beside it).
    const std::lock_guard lock(mutex_);
    if (Open* open = Find(file); open && open->writable && size > 0)
        open->file->bytes.reserve(std::size_t(size));
}

FileStatus MemoryFileSystem::WriteAt(FileHandle file, std::int64_t offset, const void* from,
                                     std::size_t count) {
    const std::lock_guard lock(mutex_);
    Open* open = Find(file);
    if (!open || !open->writable || offset < 0) return FileError::kFailed;
    std::string& bytes = open->file->bytes;
    if (std::size_t(offset) + count > bytes.size()) bytes.resize(std::size_t(offset) + count);
    std::memcpy(bytes.data() + offset, from, count);
    open->file->modifiedNs = Tick();
    return FileError::kNone;
}

FileInfo MemoryFileSystem::InfoOf(const File& file) {
    FileInfo info;
    info.kind = FileKind::kRegular;
    info.device = kMemoryDevice;
    info.index = file.index;
    info.size = std::int64_t(file.bytes.size());
    info.modifiedNs = file.modifiedNs;
    info.permissions = file.permissions;
    return info;
}

FileStatus MemoryFileSystem::Describe(FileHandle file, FileInfo& info) {
    const std::lock_guard lock(mutex_);
    Open* open = Find(file);
    if (!open) return FileError::kFailed;
    info = InfoOf(*open->file);
    return FileError::kNone;
}

FileStatus MemoryFileSystem::DescribePath(const std::string& path, bool, FileInfo& info) {
    const std::lock_guard lock(mutex_);
    const auto found = names_.find(path);
    if (found == names_.end() && IsFolder(path)) {
        info = FileInfo{};
        info.kind = FileKind::kFolder;
        info.device = kMemoryDevice;
        return FileError::kNone;
    }
    if (found == names_.end()) return FileError::kNotFound;
    info = InfoOf(*found->second);
    return FileError::kNone;
}

FileStatus MemoryFileSystem::CopyAccess(FileHandle file, FileHandle, const FileInfo& like) {
    const std::lock_guard lock(mutex_);
    Open* open = Find(file);
    if (!open) return FileError::kFailed;
    open->file->permissions = like.permissions;
    return FileError::kNone;
}

FileStatus MemoryFileSystem::SetNote(FileHandle file, const std::string& note) {
    const std::lock_guard lock(mutex_);
    Open* open = Find(file);
    if (!open) return FileError::kFailed;
    open->file->note = note;
    return FileError::kNone;
}

FileStatus MemoryFileSystem::ReadNote(const std::string& path, std::string& note) {
    const std::lock_guard lock(mutex_);
    const auto found = names_.find(path);
    if (found == names_.end() || !found->second->note) return FileError::kNotFound;
    note = *found->second->note;
    return FileError::kNone;
}

FileStatus MemoryFileSystem::TryLock(FileHandle file) {
    const std::lock_guard lock(mutex_);
    Open* open = Find(file);
    if (!open) return FileError::kFailed;
    FileHandle& holder = open->file->lockedBy;
    if (holder != kNoFile && holder != file) return FileError::kLocked;
    holder = file;
    return FileError::kNone;
}

FileStatus MemoryFileSystem::Unlock(FileHandle file) {
    const std::lock_guard lock(mutex_);
    Open* open = Find(file);
    if (!open) return FileError::kFailed;
    if (open->file->lockedBy == file) open->file->lockedBy = kNoFile;
    return FileError::kNone;
}

FileStatus MemoryFileSystem::Rename(const std::string& from, const std::string& to) {
    const std::lock_guard lock(mutex_);
    const auto found = names_.find(from);
    if (found == names_.end()) return FileError::kNotFound;
    if (from == to) return FileError::kNone;
    auto file = found->second;
    names_.erase(found);
    names_[to] = std::move(file);
    return FileError::kNone;
}

FileStatus MemoryFileSystem::RenameToFreeName(const std::string& from, const std::string& to) {
    const std::lock_guard lock(mutex_);
    if (names_.count(to) != 0) return FileError::kExists;
    const auto found = names_.find(from);
    if (found == names_.end()) return FileError::kNotFound;
    names_[to] = found->second;
    names_.erase(from);
    return FileError::kNone;
}

FileStatus MemoryFileSystem::Exchange(const std::string& first, const std::string& second) {
    const std::lock_guard lock(mutex_);
    const auto a = names_.find(first), b = names_.find(second);
    if (a == names_.end() || b == names_.end()) return FileError::kNotFound;
    std::swap(a->second, b->second);
    return FileError::kNone;
}

FileStatus MemoryFileSystem::Link(const std::string& existing, const std::string& link) {
    const std::lock_guard lock(mutex_);
    const auto found = names_.find(existing);
    if (found == names_.end()) return FileError::kNotFound;
    if (names_.count(link)) return FileError::kExists;
    names_[link] = found->second;
    return FileError::kNone;
}

FileStatus MemoryFileSystem::Remove(const std::string& path) {
    const std::lock_guard lock(mutex_);
    return names_.erase(path) ? FileError::kNone : FileError::kNotFound;
}

bool MemoryFileSystem::IsFolder(const std::string& path) const {
    if (folders_.count(path) != 0) return true;
    const std::string inside = path + "/";
    const auto next = names_.lower_bound(inside);
    return next != names_.end() && next->first.compare(0, inside.size(), inside) == 0;
}

FileStatus MemoryFileSystem::CreateFolder(const std::string& path) {
    const std::lock_guard lock(mutex_);
    if (names_.count(path) != 0 || IsFolder(path)) return FileError::kExists;
    folders_.insert(path);
    return FileError::kNone;
}

FileStatus MemoryFileSystem::ListFolder(const std::string& path, std::vector<std::string>& names) {
    const std::lock_guard lock(mutex_);
    names.clear();
    if (!IsFolder(path)) return FileError::kNotFound;
    const std::string inside = path + "/";
    for (auto it = names_.lower_bound(inside);
         it != names_.end() && it->first.compare(0, inside.size(), inside) == 0; ++it) {
        const std::string name = it->first.substr(inside.size());
        if (name.find('/') == std::string::npos) names.push_back(name);
    }
    return FileError::kNone;
}

}  // namespace quellhart
