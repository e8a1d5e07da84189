// The file layer on POSIX systems (Linux, and the WebAssembly build's C library for
// its tests). The only file of the save library that calls the operating system
// directly.
#include <fcntl.h>
#include <stdio.h>  // renameat2
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <limits>
#include <string>
#include <utility>
#include <vector>

#include "savefile/FileSystem.h"
#include "savefile/OpenFileNames.h"

namespace quellhart {
namespace {

// Why a call on `path` failed, from the errno it left.
FileStatus FromErrno(int error, const std::string& path, const std::string& toPath = {}) {
    // No such file, a name taken, a lock held: the kind says all there is.
    const bool worthTelling = error != 0 && error != ENOENT && error != ENOTDIR &&
                              error != EEXIST && error != EWOULDBLOCK;
    const auto status = [&](FileError kind) {
        return worthTelling ? FileStatus(kind, std::strerror(error), path, toPath)
                            : FileStatus(kind);
    };
    switch (error) {
        case 0:
            return FileError::kNone;
        case ENOENT:
        case ENOTDIR:
            return FileError::kNotFound;
        case EEXIST:
            return FileError::kExists;
        case EWOULDBLOCK:
            return FileError::kLocked;
        case EINVAL:
        case ENOSYS:
        case EOPNOTSUPP:
        case ENOLCK:        // a file system without locks (NFS without its lock service)
        case ENAMETOOLONG:  // a sibling's name (the history's) longer than the save's
            return status(FileError::kNotSupported);
        default:
            return status(FileError::kFailed);
    }
}

// Why the open of a file the user named failed: with the system's words even where
// the kind would say it (no such file), since the user wants to know why.
FileStatus OpenFailure(int error, const std::string& path) {
    FileStatus failed = FromErrno(error, path);
    if (failed.Cause().empty() && error != 0)
        failed = FileStatus(failed.Kind(), std::strerror(error), path);
    return failed;
}
FileStatus NotARegularFile(mode_t mode, const std::string& path) {
    return {
        FileError::kNotRegularFile,
        S_ISDIR(mode) ? std::strerror(EISDIR) : "Not a regular file (a FIFO, a device or a socket)",
        path};
}

FileStatus Result(bool ok, const std::string& path, const std::string& toPath = {}) {
    return ok ? FileStatus() : FromErrno(errno, path, toPath);
}

int Descriptor(FileHandle file) { return int(file); }

#if QH_HAVE_XATTR
// The attribute the program keeps its notes in: in the user's namespace, so that the
// file's owner may set it, and never copied from one save to another.
constexpr const char* kNoteAttribute = "user.quellhart.note";
#endif

// Copies every extended attribute of `from` to `to`. The kernel's own labels
// ("security.") are the kernel's to set and are passed over when it refuses them.
// Without the calls a file has no attributes to lose.
FileStatus CopyAttributes([[maybe_unused]] int from, [[maybe_unused]] int to,
                          [[maybe_unused]] const std::string& path) {
#if QH_HAVE_XATTR
    std::vector<char> names;
    ssize_t listed = 0;
    do {
        const ssize_t needed = ::flistxattr(from, nullptr, 0);
        // A file system without attributes has none to copy. Any other failure (an I/O
        // error, a server that cannot list them) may hide an access list that the new
        // save would then lack.
        if (needed < 0) return errno == ENOTSUP ? FileError::kNone : FromErrno(errno, path);
        if (needed == 0) return FileError::kNone;
        names.resize(size_t(needed));
        listed = ::flistxattr(from, names.data(), names.size());
    } while (listed < 0 && errno == ERANGE);  // one added between the two calls
    if (listed < 0) return FromErrno(errno, path);
    for (const char* name = names.data(); name < names.data() + listed;
         name += std::strlen(name) + 1) {
        if (std::strcmp(name, kNoteAttribute) == 0) continue;  // a note is the file's own
        const ssize_t size = ::fgetxattr(from, name, nullptr, 0);
        if (size < 0) return FromErrno(errno, path);
        std::vector<char> value(static_cast<size_t>(size));
        if (::fgetxattr(from, name, value.data(), value.size()) != size)
            return FromErrno(errno, path);
        if (::fsetxattr(to, name, value.data(), value.size(), 0) != 0 &&
            std::strncmp(name, "security.", 9) != 0)
            return FromErrno(errno, path);
    }
#endif
    return FileError::kNone;
}

// Owner and group first: changing them can clear set-id bits that the mode then sets
// again. Only a privileged process may give a file away, so a refusal there is
// expected and not a failure; some file systems have no owners to set at all (FAT
// through FUSE answers "not implemented"): every file there is the mount's. But a
// group the new save cannot have (one its user is not in) would leave the old save's
// group bits giving access to the user's group instead: that is refused.
FileStatus CopyOwner(int to, const FileInfo& like, const std::string& path) {
    if (::fchown(to, uid_t(like.owner), gid_t(like.group)) == 0) return FileError::kNone;
    if (errno != EPERM && errno != ENOSYS && errno != EOPNOTSUPP) return FromErrno(errno, path);
    struct stat made {};
    if (::fstat(to, &made) != 0) return FromErrno(errno, path);
    if (made.st_gid == gid_t(like.group) || (like.permissions & 070) == 0) return FileError::kNone;
    return {FileError::kFailed,
            "the save's group (" + std::to_string(like.group) +
                ") cannot be given to the new save, and its access would pass to another group",
            path};
}

// A folder with a default access list gives a new file in it an access list of its
// own; where the old save had none, the new one must not keep it, or it would let in
// whoever the folder's list names.
FileStatus DropInheritedAccessList([[maybe_unused]] int from, [[maybe_unused]] int to,
                                   [[maybe_unused]] const std::string& path) {
#if QH_HAVE_XATTR
    constexpr const char* kAccessList = "system.posix_acl_access";
    if (::fgetxattr(from, kAccessList, nullptr, 0) >= 0) return FileError::kNone;
    if (errno != ENODATA && errno != ENOTSUP) return FromErrno(errno, path);
    if (::fremovexattr(to, kAccessList) == 0 || errno == ENODATA || errno == ENOTSUP)
        return FileError::kNone;
    return FromErrno(errno, path);
#else
    return FileError::kNone;
#endif
}

FileKind KindOf(mode_t mode) {
    if (S_ISREG(mode)) return FileKind::kRegular;
    if (S_ISDIR(mode)) return FileKind::kFolder;
    if (S_ISLNK(mode)) return FileKind::kLink;
    return FileKind::kOther;
}

// A file time as nanoseconds since 1970; times the nanoseconds cannot hold (before
// 1678, after 2262: a clock set wrong, a file from a broken archive) are held at the
// nearest end rather than wrapped round into another century.
int64_t Nanoseconds(const struct timespec& time) {
    constexpr int64_t kLimit = std::numeric_limits<int64_t>::max() / 1'000'000'000 - 1;
    return std::clamp(int64_t(time.tv_sec), -kLimit, kLimit) * 1'000'000'000 + time.tv_nsec;
}

FileInfo InfoFrom(const struct stat& st) {
    FileInfo info;
    info.kind = KindOf(st.st_mode);
    info.device = uint64_t(st.st_dev);
    info.index = uint64_t(st.st_ino);
    info.size = int64_t(st.st_size);
    info.modifiedNs = Nanoseconds(st.st_mtim);
    info.changedNs = Nanoseconds(st.st_ctim);
    info.permissions = uint32_t(st.st_mode & 07777);
    info.owner = uint32_t(st.st_uid);
    info.group = uint32_t(st.st_gid);
    return info;
}

class PosixFileSystem final : public FileSystem {
public:
    FileStatus OpenForReading(const std::string& path, FileHandle& file) override {
        file = kNoFile;
        // Only a regular file is opened at all: opening a device can have effects of
        // its own. The open is non-blocking, so that a FIFO put under the name after
        // this look cannot hang the program either, and what was opened is checked
        // again. (O_NONBLOCK means nothing to a regular file's reads.)
        struct stat st {};
        if (::stat(path.c_str(), &st) != 0) return OpenFailure(errno, path);
        if (!S_ISREG(st.st_mode)) return NotARegularFile(st.st_mode, path);
        const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
        if (fd < 0) return OpenFailure(errno, path);
        if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
            ::close(fd);
            return NotARegularFile(st.st_mode, path);
        }
        file = Opened(fd, path);
        return FileError::kNone;
    }

    FileStatus CreateNew(const std::string& path, FileHandle& file) override {
        file = kNoFile;
        // O_EXCL with O_CREAT never follows a link planted under the name.
        const int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC,
                              S_IRUSR | S_IWUSR);
        if (fd < 0) return FromErrno(errno, path);
        file = Opened(fd, path);
        return FileError::kNone;
    }

    FileStatus Close(FileHandle file) override {
        const std::string path = Closed(file);
        return Result(::close(Descriptor(file)) == 0, path);
    }

    FileStatus ReadAt(FileHandle file, int64_t offset, void* into, size_t count,
                      size_t& got) override {
        got = 0;
        auto* bytes = static_cast<char*>(into);
        while (got < count) {
            const ssize_t n =
                ::pread(Descriptor(file), bytes + got, count - got, off_t(offset) + off_t(got));
            if (n < 0 && errno == EINTR) continue;
            if (n < 0) return FromErrno(errno, PathOf(file));
            if (n == 0) break;
            got += size_t(n);
        }
        return FileError::kNone;
    }

    FileStatus WriteAt(FileHandle file, int64_t offset, const void* from, size_t count) override {
        const auto* bytes = static_cast<const char*>(from);
        size_t written = 0;
        while (written < count) {
            const ssize_t n = ::pwrite(Descriptor(file), bytes + written, count - written,
                                       off_t(offset) + off_t(written));
            if (n < 0 && errno == EINTR) continue;
            if (n <= 0) return n == 0 ? FileError::kFailed : FromErrno(errno, PathOf(file));
            written += size_t(n);
        }
        return FileError::kNone;
    }

    FileStatus Sync(FileHandle file) override {
        return Result(::fsync(Descriptor(file)) == 0, PathOf(file));
    }

    FileStatus Describe(FileHandle file, FileInfo& info) override {
        struct stat st {};
        if (::fstat(Descriptor(file), &st) != 0) return FromErrno(errno, PathOf(file));
        info = InfoFrom(st);
        return FileError::kNone;
    }

    FileStatus DescribePath(const std::string& path, bool followLinks, FileInfo& info) override {
        struct stat st {};
        const int result = followLinks ? ::stat(path.c_str(), &st) : ::lstat(path.c_str(), &st);
        if (result != 0) return FromErrno(errno, path);
        info = InfoFrom(st);
        return FileError::kNone;
    }

    FileStatus CopyAccess(FileHandle file, FileHandle from, const FileInfo& like) override {
        const std::string path = PathOf(file);
        if (FileStatus owned = CopyOwner(Descriptor(file), like, path); !owned.Ok()) return owned;
        // The attributes before the mode: an access list's mask is the mode's group
        // bits, so until the list is there those bits would give the owning group
        // what only the mask allows. Until then the file is its owner's alone.
        if (FileStatus dropped = DropInheritedAccessList(Descriptor(from), Descriptor(file), path);
            !dropped.Ok())
            return dropped;
        if (FileStatus copied = CopyAttributes(Descriptor(from), Descriptor(file), path);
            !copied.Ok())
            return copied;
        // A file system without permissions (FAT through FUSE, or mounted to refuse a
        // change) answers "not implemented" or "not permitted": its files all have the
        // mount's, and the new save stays its owner's alone meanwhile.
        if (::fchmod(Descriptor(file), mode_t(like.permissions)) != 0 && errno != EPERM &&
            errno != ENOSYS && errno != EOPNOTSUPP)
            return FromErrno(errno, path);
        return FileError::kNone;
    }

    // flock locks belong to the open file, not the process: two documents of one
    // process exclude each other as two processes do.
    FileStatus TryLock(FileHandle file) override {
        return Result(::flock(Descriptor(file), LOCK_EX | LOCK_NB) == 0, PathOf(file));
    }
    FileStatus Unlock(FileHandle file) override {
        return Result(::flock(Descriptor(file), LOCK_UN) == 0, PathOf(file));
    }

    FileStatus Rename(const std::string& from, const std::string& to) override {
        return Result(::rename(from.c_str(), to.c_str()) == 0, from, to);
    }

    FileStatus RenameToFreeName(const std::string& from, const std::string& to) override {
#if QH_HAVE_RENAMEAT2
        if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0)
            return FileError::kNone;
        if (errno != EINVAL && errno != ENOSYS && errno != EOPNOTSUPP)
            return FromErrno(errno, from, to);
#endif
        // A file system (or C library) that cannot refuse to replace in the rename
        // itself. Where it has links, a second name made with link(), which never
        // replaces, and the first name then removed: a file another program put under
        // `to` meanwhile is refused. A stop in between leaves the file under both
        // names, which loses no version.
        if (::link(from.c_str(), to.c_str()) == 0) {
            if (::unlink(from.c_str()) == 0) return FileError::kNone;
            const int error = errno;
            ::unlink(to.c_str());
            return FromErrno(error, from);
        }
        if (errno == EEXIST) return FileError::kExists;
        if (errno != EPERM && errno != EXDEV && errno != EMLINK && errno != ENOTSUP &&
            errno != ENOSYS)
            return FromErrno(errno, from, to);
        // Without links (FAT, exFAT): looked at first, which leaves only the moment in
        // between open.
        struct stat st {};
        if (::lstat(to.c_str(), &st) == 0) return FileError::kExists;
        if (errno != ENOENT) return FromErrno(errno, to);
        return Rename(from, to);
    }

    FileStatus Exchange([[maybe_unused]] const std::string& first,
                        [[maybe_unused]] const std::string& second) override {
#if QH_HAVE_RENAMEAT2
        return Result(
            ::renameat2(AT_FDCWD, first.c_str(), AT_FDCWD, second.c_str(), RENAME_EXCHANGE) == 0,
            first, second);
#else
        // A C library without the call (the WebAssembly build's): as on a file system
        // that cannot exchange two names, the document takes its other way.
        return FileError::kNotSupported;
#endif
    }

    // The exchange of names does better here.
    FileStatus ReplaceWithBackup(const std::string&, const std::string&,
                                 const std::string&) override {
        return FileError::kNotSupported;
    }
    bool ReplacesWithBackup() const override { return false; }

    FileStatus Link(const std::string& existing, const std::string& link) override {
        if (::link(existing.c_str(), link.c_str()) == 0) return FileError::kNone;
        // FAT and exFAT refuse a second name with EPERM; some network file systems
        // with ENOTSUP or EXDEV.
        return errno == EPERM || errno == EXDEV || errno == EMLINK
                   ? FileError::kNotSupported
                   : FromErrno(errno, existing, link);
    }

    FileStatus Remove(const std::string& path) override {
        return Result(::unlink(path.c_str()) == 0, path);
    }

    void StartWriteBack([[maybe_unused]] FileHandle file, [[maybe_unused]] int64_t offset,
                        [[maybe_unused]] int64_t length) override {
#if QH_HAVE_SYNC_FILE_RANGE
        ::sync_file_range(Descriptor(file), offset, length, SYNC_FILE_RANGE_WRITE);
#endif
    }

    std::string FinalPath(const std::string& path) override {
        struct stat st {};
        if (::lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return path;
        char* resolved = ::realpath(path.c_str(), nullptr);
        if (!resolved) return path;
        std::string result(resolved);
        std::free(resolved);
        return result;
    }

    FileStatus SyncFolderOf(const std::string& path) override {
        const std::string folder = std::filesystem::path(path).parent_path().string();
        const int fd =
            ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
        if (fd < 0) return FromErrno(errno, folder);
        const bool synced = ::fsync(fd) == 0;
        const int syncError = errno;
        ::close(fd);
        return synced ? FileStatus() : FromErrno(syncError, folder);
    }

    FileStatus CreateFolder(const std::string& path) override {
        return Result(::mkdir(path.c_str(), 0700) == 0, path);
    }

    FileStatus ListFolder(const std::string& path, std::vector<std::string>& names) override {
        names.clear();
        std::error_code error;
        for (std::filesystem::directory_iterator it(path, error), end; !error && it != end;
             it.increment(error))
            names.push_back(it->path().filename().string());
        return error ? FromErrno(error.value(), path) : FileStatus();
    }

#if QH_HAVE_XATTR
    FileStatus SetNote(FileHandle file, const std::string& note) override {
        return Result(
            ::fsetxattr(Descriptor(file), kNoteAttribute, note.data(), note.size(), 0) == 0,
            PathOf(file));
    }

    FileStatus ReadNote(const std::string& path, std::string& note) override {
        // Notes are short: one that does not fit is none of the program's.
        char value[256];
        const ssize_t size = ::getxattr(path.c_str(), kNoteAttribute, value, sizeof value);
        if (size >= 0) {
            note.assign(value, size_t(size));
            return FileError::kNone;
        }
        return FromErrno(errno == ENODATA || errno == ERANGE ? ENOENT : errno, path);
    }
#endif

private:
    FileHandle Opened(int fd, const std::string& path) { return names_.Opened(fd, path); }
    std::string Closed(FileHandle file) { return names_.Closed(file); }
    std::string PathOf(FileHandle file) { return names_.Of(file); }

    OpenFileNames names_;
};

}  // namespace

FileSystem& SystemFileSystem() {
    static PosixFileSystem system;
    return system;
}

}  // namespace quellhart
