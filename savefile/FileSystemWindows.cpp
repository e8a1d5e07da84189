// The file layer on Windows: the wide-character file API, with paths kept as UTF-8
// inside the program and converted at this edge. The only file of the save library
// that calls the operating system directly there.
//
// Where Windows differs from POSIX:
// - Two names cannot be exchanged in one step: Exchange reports kNotSupported and the
//   commit uses its two renames (MoveFileExW with MOVEFILE_WRITE_THROUGH).
// - A folder cannot be synced; MOVEFILE_WRITE_THROUGH makes each rename durable.
// - Access is an ACL inherited from the folder; CopyAccess has nothing to copy.
// - Locks are mandatory: a locked range cannot be read by other handles. The lock
//   therefore covers one byte far past the end of any save, so that other programs
//   (the game, a second window) can still read the save while a commit runs.
#include <windows.h>

#include <algorithm>
#include <limits>
#include <string>
#include <utility>

#include "savefile/FileSystem.h"
#include "savefile/OpenFileNames.h"

namespace quellhart {
namespace {

// The byte that stands for the whole file's lock.
constexpr ULONGLONG kLockOffset = 1ull << 62;

std::wstring Wide(const std::string& utf8) {
    if (utf8.empty()) return {};
    const int length = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), int(utf8.size()), nullptr, 0);
    std::wstring wide(size_t(length), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), int(utf8.size()), wide.data(), length);
    return wide;
}

std::string Narrow(const std::wstring& wide) {
    const int bytes = WideCharToMultiByte(CP_UTF8, 0, wide.data(), int(wide.size()), nullptr, 0,
                                          nullptr, nullptr);
    std::string utf8(size_t(bytes), '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide.data(), int(wide.size()), utf8.data(), bytes, nullptr,
                        nullptr);
    return utf8;
}

// The system's words for `error`, without the full stop and line end they come with.
std::string Reason(DWORD error) {
    wchar_t* text = nullptr;
    const DWORD length = FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, error, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    if (length == 0) return {};
    std::wstring wide(text, length);
    LocalFree(text);
    while (!wide.empty() && (wide.back() == L'\n' || wide.back() == L'\r' || wide.back() == L'.'))
        wide.pop_back();
    return Narrow(wide);
}

// Why the last call on `path` failed, from the thread's last error.
FileStatus FromLastError(const std::string& path, const std::string& toPath = {}) {
    const DWORD error = GetLastError();
    // No such file, a name taken, a lock held: the kind says all there is.
    const bool worthTelling = error != ERROR_SUCCESS && error != ERROR_FILE_NOT_FOUND &&
                              error != ERROR_PATH_NOT_FOUND && error != ERROR_FILE_EXISTS &&
                              error != ERROR_ALREADY_EXISTS && error != ERROR_LOCK_VIOLATION;
    const auto status = [&](FileError kind) {
        return worthTelling ? FileStatus(kind, Reason(error), path, toPath) : FileStatus(kind);
    };
    switch (error) {
        case ERROR_SUCCESS:
            return FileError::kNone;
        case ERROR_FILE_NOT_FOUND:
        case ERROR_PATH_NOT_FOUND:
            return FileError::kNotFound;
        case ERROR_INVALID_NAME:
            return status(FileError::kNotFound);
        case ERROR_FILE_EXISTS:
        case ERROR_ALREADY_EXISTS:
            return FileError::kExists;
        case ERROR_LOCK_VIOLATION:
            return FileError::kLocked;
        case ERROR_LOCK_FAILED:
            return status(FileError::kLocked);
        // The system's words ("The process cannot access the file...") do not say who:
        // a game holding its save, most often.
        case ERROR_SHARING_VIOLATION:
            return {FileError::kFailed,
                    "Another program has the file open and shares it with no one (close it, "
                    "or wait until it lets go)",
                    path, toPath};
        case ERROR_NOT_SUPPORTED:
        case ERROR_INVALID_FUNCTION:
        case ERROR_FILENAME_EXCED_RANGE:  // a sibling's name longer than the save's
            return status(FileError::kNotSupported);
        default:
            return status(FileError::kFailed);
    }
}

// The same, with the system's words even where the kind says it (no such file, a lock):
// for the calls that read the file the user named, who wants to know why.
FileStatus WithReasonFromLastError(const std::string& path) {
    const DWORD error = GetLastError();
    FileStatus failed = FromLastError(path);
    return failed.Cause().empty() ? FileStatus(failed.Kind(), Reason(error), path) : failed;
}

FileStatus Result(BOOL ok, const std::string& path, const std::string& toPath = {}) {
    return ok ? FileStatus() : FromLastError(path, toPath);
}

HANDLE Native(FileHandle file) { return reinterpret_cast<HANDLE>(file); }

int64_t Combine(DWORD high, DWORD low) { return int64_t((uint64_t(high) << 32) | low); }

// A file time (100-nanosecond steps since 1601) as nanoseconds since 1970, as every
// other file layer counts: the versions are named by it, and a save's folder may be
// shared with the editions of other systems. Times the nanoseconds cannot hold (before
// 1678, after 2262) are held at the nearest end.
int64_t UnixNanoseconds(int64_t ticks) {
    constexpr int64_t kTicksFrom1601To1970 = 116'444'736'000'000'000;
    constexpr int64_t kLimit = std::numeric_limits<int64_t>::max() / 100;
    const int64_t since1970 = ticks - kTicksFrom1601To1970;
    return std::clamp(since1970, -kLimit, kLimit) * 100;
}

FileInfo InfoFrom(const BY_HANDLE_FILE_INFORMATION& native) {
    FileInfo info;
    if (native.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT)
        info.kind = FileKind::kLink;
    else if (native.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
        info.kind = FileKind::kFolder;
    else
        info.kind = FileKind::kRegular;
    info.device = native.dwVolumeSerialNumber;
    info.index = uint64_t(Combine(native.nFileIndexHigh, native.nFileIndexLow));
    info.size = Combine(native.nFileSizeHigh, native.nFileSizeLow);
    info.modifiedNs = UnixNanoseconds(
        Combine(native.ftLastWriteTime.dwHighDateTime, native.ftLastWriteTime.dwLowDateTime));
    info.permissions = (native.dwFileAttributes & FILE_ATTRIBUTE_READONLY) ? 0444 : 0666;
    return info;
}

// The time of the file's last change of any kind, which a writer cannot set back as
// it can the last write time; 0 where the system does not say.
int64_t ChangeTimeOf(HANDLE file) {
    FILE_BASIC_INFO basic{};
    if (!GetFileInformationByHandleEx(file, FileBasicInfo, &basic, sizeof basic)) return 0;
    return basic.ChangeTime.QuadPart ? UnixNanoseconds(basic.ChangeTime.QuadPart) : 0;
}

// Every handle lets others read, write, rename and delete the file, as POSIX does:
// the commit renames the save while its input is open.
constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

OVERLAPPED At(int64_t offset) {
    OVERLAPPED at{};
    at.Offset = DWORD(uint64_t(offset) & 0xFFFFFFFFu);
    at.OffsetHigh = DWORD(uint64_t(offset) >> 32);
    return at;
}

// The most one ReadFile or WriteFile call moves.
constexpr size_t kMaxTransfer = 1u << 30;

class WindowsFileSystem final : public FileSystem {
public:
    FileStatus OpenForReading(const std::string& path, FileHandle& file) override {
        file = kNoFile;
        const HANDLE handle = CreateFileW(Wide(path).c_str(), GENERIC_READ, kShareAll, nullptr,
                                          OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (handle == INVALID_HANDLE_VALUE) {
            const FileStatus failed = WithReasonFromLastError(path);
            // A folder cannot be opened without backup semantics: it is no save.
            const DWORD attributes = GetFileAttributesW(Wide(path).c_str());
            return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)
                       ? FileStatus(FileError::kNotRegularFile, "Is a folder", path)
                       : failed;
        }
        // Only a file on a disk: no pipe, console or device.
        if (GetFileType(handle) != FILE_TYPE_DISK) {
            CloseHandle(handle);
            return {FileError::kNotRegularFile,
                    "Not a file on a disk (a pipe, a console or a device)", path};
        }
        file = names_.Opened(reinterpret_cast<FileHandle>(handle), path);
        return FileError::kNone;
    }

    FileStatus CreateNew(const std::string& path, FileHandle& file) override {
        file = kNoFile;
        // CREATE_NEW fails on any existing name, a link included.
        const HANDLE handle =
            CreateFileW(Wide(path).c_str(), GENERIC_READ | GENERIC_WRITE, kShareAll, nullptr,
                        CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (handle == INVALID_HANDLE_VALUE) return FromLastError(path);
        file = names_.Opened(reinterpret_cast<FileHandle>(handle), path);
        return FileError::kNone;
    }

    FileStatus Close(FileHandle file) override {
        const std::string path = names_.Closed(file);
        return Result(CloseHandle(Native(file)), path);
    }

    FileStatus ReadAt(FileHandle file, int64_t offset, void* into, size_t count,
                      size_t& got) override {
        got = 0;
        auto* bytes = static_cast<char*>(into);
        while (got < count) {
            OVERLAPPED at = At(offset + int64_t(got));
            DWORD read = 0;
            const DWORD want = DWORD(std::min(count - got, kMaxTransfer));
            if (!ReadFile(Native(file), bytes + got, want, &read, &at)) {
                if (GetLastError() == ERROR_HANDLE_EOF) break;
                // A part of the save another program has locked (a game writing it).
                return WithReasonFromLastError(names_.Of(file));
            }
            if (read == 0) break;
            got += read;
        }
        return FileError::kNone;
    }

    FileStatus WriteAt(FileHandle file, int64_t offset, const void* from, size_t count) override {
        const auto* bytes = static_cast<const char*>(from);
        size_t written = 0;
        while (written < count) {
            OVERLAPPED at = At(offset + int64_t(written));
            DWORD wrote = 0;
            const DWORD want = DWORD(std::min(count - written, kMaxTransfer));
            if (!WriteFile(Native(file), bytes + written, want, &wrote, &at))
                return FromLastError(names_.Of(file));
            if (wrote == 0) return FileError::kFailed;
            written += wrote;
        }
        return FileError::kNone;
    }

    FileStatus Sync(FileHandle file) override {
        return Result(FlushFileBuffers(Native(file)), names_.Of(file));
    }

    FileStatus Describe(FileHandle file, FileInfo& info) override {
        BY_HANDLE_FILE_INFORMATION native{};
        if (!GetFileInformationByHandle(Native(file), &native))
            return FromLastError(names_.Of(file));
        info = InfoFrom(native);
        info.changedNs = ChangeTimeOf(Native(file));
        return FileError::kNone;
    }

    FileStatus DescribePath(const std::string& path, bool followLinks, FileInfo& info) override {
        // Opened for its attributes only; backup semantics let a folder be opened.
        DWORD flags = FILE_FLAG_BACKUP_SEMANTICS;
        if (!followLinks) flags |= FILE_FLAG_OPEN_REPARSE_POINT;
        const HANDLE handle =
            CreateFileW(Wide(path).c_str(), 0, kShareAll, nullptr, OPEN_EXISTING, flags, nullptr);
        if (handle == INVALID_HANDLE_VALUE) return FromLastError(path);
        BY_HANDLE_FILE_INFORMATION native{};
        const bool described = GetFileInformationByHandle(handle, &native);
        FileStatus error = described ? FileStatus() : FromLastError(path);
        const DWORD type = GetFileType(handle);
        const int64_t changedNs = ChangeTimeOf(handle);
        CloseHandle(handle);
        if (!described) return error;
        info = InfoFrom(native);
        info.changedNs = changedNs;
        if (type != FILE_TYPE_DISK && info.kind == FileKind::kRegular) info.kind = FileKind::kOther;
        return FileError::kNone;
    }

    FileStatus CopyAccess(FileHandle, FileHandle, const FileInfo&) override {
        return FileError::kNone;
    }

    FileStatus TryLock(FileHandle file) override {
        OVERLAPPED at = At(int64_t(kLockOffset));
        return Result(LockFileEx(Native(file), LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY,
                                 0, 1, 0, &at),
                      names_.Of(file));
    }

    FileStatus Unlock(FileHandle file) override {
        OVERLAPPED at = At(int64_t(kLockOffset));
        return Result(UnlockFileEx(Native(file), 0, 1, 0, &at), names_.Of(file));
    }

    FileStatus Rename(const std::string& from, const std::string& to) override {
        return Result(MoveFileExW(Wide(from).c_str(), Wide(to).c_str(),
                                  MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH),
                      from, to);
    }

    FileStatus RenameToFreeName(const std::string& from, const std::string& to) override {
        return Result(MoveFileExW(Wide(from).c_str(), Wide(to).c_str(), MOVEFILE_WRITE_THROUGH),
                      from, to);
    }

    FileStatus Exchange(const std::string&, const std::string&) override {
        return FileError::kNotSupported;
    }

    FileStatus ReplaceWithBackup(const std::string& replaced, const std::string& replacement,
                                 const std::string& backup) override {
        if (ReplaceFileW(Wide(replaced).c_str(), Wide(replacement).c_str(), Wide(backup).c_str(),
                         REPLACEFILE_WRITE_THROUGH, nullptr, nullptr))
            return FileError::kNone;
        const DWORD error = GetLastError();
        // The replaced file has taken the backup's name, the replacement kept its
        // own: the replaced file goes back.
        if (error == ERROR_UNABLE_TO_MOVE_REPLACEMENT_2)
            MoveFileExW(Wide(backup).c_str(), Wide(replaced).c_str(), MOVEFILE_WRITE_THROUGH);
        SetLastError(error);
        return FromLastError(replacement, replaced);
    }
    bool ReplacesWithBackup() const override { return true; }

    // NTFS has hard links; FAT, exFAT and most network shares do not.
    FileStatus Link(const std::string& existing, const std::string& link) override {
        // A file that another program holds open without letting others delete it
        // can neither be replaced nor lose a second name again: the link is refused
        // then, with the system's words for it, before a name is left behind.
        const HANDLE probe = CreateFileW(Wide(existing).c_str(), DELETE, kShareAll, nullptr,
                                         OPEN_EXISTING, FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
        if (probe == INVALID_HANDLE_VALUE) return FromLastError(existing);
        CloseHandle(probe);
        return Result(CreateHardLinkW(Wide(link).c_str(), Wide(existing).c_str(), nullptr),
                      existing, link);
    }

    FileStatus Remove(const std::string& path) override {
        return Result(DeleteFileW(Wide(path).c_str()), path);
    }

    // Windows writes back on its own schedule; FlushFileBuffers is the sync.
    void StartWriteBack(FileHandle, int64_t, int64_t) override {}
    // Links to saves are rare on Windows, where making one needs a privilege: a
    // linked save is worked on under the link's own name.
    std::string FinalPath(const std::string& path) override { return path; }

    FileStatus SyncFolderOf(const std::string&) override { return FileError::kNone; }

    FileStatus CreateFolder(const std::string& path) override {
        return Result(CreateDirectoryW(Wide(path).c_str(), nullptr), path);
    }

    FileStatus ListFolder(const std::string& path, std::vector<std::string>& names) override {
        names.clear();
        WIN32_FIND_DATAW found;
        const HANDLE search = FindFirstFileW(Wide(path + "\\*").c_str(), &found);
        if (search == INVALID_HANDLE_VALUE) return FromLastError(path);
        do {
            const std::wstring name = found.cFileName;
            if (name == L"." || name == L"..") continue;
            names.push_back(Narrow(name));
        } while (FindNextFileW(search, &found));
        const DWORD error = GetLastError();
        FindClose(search);
        if (error == ERROR_NO_MORE_FILES) return FileError::kNone;
        SetLastError(error);
        return FromLastError(path);
    }

private:
    OpenFileNames names_;
};

}  // namespace

FileSystem& SystemFileSystem() {
    static WindowsFileSystem system;
    return system;
}

}  // namespace quellhart
