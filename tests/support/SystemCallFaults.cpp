#include "tests/support/SystemCallFaults.h"

#include <dirent.h>
#include <dlfcn.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <map>
#include <mutex>

namespace quellhart::test::syscalls {
namespace {

struct Fault {
    int error;
    int nth;  // 0: every call
    int calls = 0;
};

struct Faults {
    std::mutex mutex;
    std::map<std::string, Fault> faults;
    std::map<std::string, int> counts;
};

Faults& State() {
    static Faults faults;
    return faults;
}

// Counts the call; true where it is to fail (errno set).
bool Injected(const char* name) {
    Faults& faults = State();
    const std::lock_guard<std::mutex> lock(faults.mutex);
    ++faults.counts[name];
    const auto fault = faults.faults.find(name);
    if (fault == faults.faults.end()) return false;
    Fault& planned = fault->second;
    if (planned.nth != 0 && ++planned.calls != planned.nth) return false;
    errno = planned.error;
    return true;
}

template <typename Function>
Function* Real(const char* name) {
    return reinterpret_cast<Function*>(::dlsym(RTLD_NEXT, name));
}

}  // namespace

void Fail(const std::string& name, int error, int nth) {
    const std::lock_guard<std::mutex> lock(State().mutex);
    State().faults.insert_or_assign(name, Fault{error, nth});
}

int Count(const std::string& name) {
    const std::lock_guard<std::mutex> lock(State().mutex);
    const auto count = State().counts.find(name);
    return count == State().counts.end() ? 0 : count->second;
}

void Reset() {
    const std::lock_guard<std::mutex> lock(State().mutex);
    State().faults.clear();
    State().counts.clear();
}

}  // namespace quellhart::test::syscalls

using quellhart::test::syscalls::Injected;
using quellhart::test::syscalls::Real;

extern "C" {

int fsync(int fd) {
    static auto* real = Real<int(int)>("fsync");
    return Injected("fsync") ? -1 : real(fd);
}

int fdatasync(int fd) {
    static auto* real = Real<int(int)>("fdatasync");
    return Injected("fdatasync") ? -1 : real(fd);
}

ssize_t flistxattr(int fd, char* list, size_t size) noexcept {
    static auto* real = Real<ssize_t(int, char*, size_t)>("flistxattr");
    return Injected("flistxattr") ? -1 : real(fd, list, size);
}

int fchmod(int fd, mode_t mode) noexcept {
    static auto* real = Real<int(int, mode_t)>("fchmod");
    return Injected("fchmod") ? -1 : real(fd, mode);
}

int fchown(int fd, uid_t owner, gid_t group) noexcept {
    static auto* real = Real<int(int, uid_t, gid_t)>("fchown");
    return Injected("fchown") ? -1 : real(fd, owner, group);
}

int renameat2(int fromFolder, const char* from, int toFolder, const char* to,
              unsigned int flags) noexcept {
    static auto* real = Real<int(int, const char*, int, const char*, unsigned int)>("renameat2");
    return Injected("renameat2") ? -1 : real(fromFolder, from, toFolder, to, flags);
}

int link(const char* existing, const char* name) noexcept {
    static auto* real = Real<int(const char*, const char*)>("link");
    return Injected("link") ? -1 : real(existing, name);
}

int fsetxattr(int fd, const char* name, const void* value, size_t size, int flags) noexcept {
    static auto* real = Real<int(int, const char*, const void*, size_t, int)>("fsetxattr");
    return Injected("fsetxattr") ? -1 : real(fd, name, value, size, flags);
}

int mkdir(const char* path, mode_t mode) noexcept {
    static auto* real = Real<int(const char*, mode_t)>("mkdir");
    return Injected("mkdir") ? -1 : real(path, mode);
}

// Listing a folder: std::filesystem's directory_iterator opens it with openat and
// reads it through fdopendir.
DIR* fdopendir(int fd) {
    static auto* real = Real<DIR*(int)>("fdopendir");
    return Injected("fdopendir") ? nullptr : real(fd);
}

int flock(int fd, int operation) noexcept {
    static auto* real = Real<int(int, int)>("flock");
    return Injected("flock") ? -1 : real(fd, operation);
}

}  // extern "C"
