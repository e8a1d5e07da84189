#include "FileSync.h"

#include <fcntl.h>
#include <unistd.h>

#include <filesystem>

namespace quellhart {
namespace {

bool SyncPath(const std::string& path, int flags) {
    const int fd = ::open(path.c_str(), flags | O_CLOEXEC);
    if (fd < 0) return false;
    const bool synced = ::fsync(fd) == 0;
    return ::close(fd) == 0 && synced;
}

}  // namespace

bool SyncFileToDisk(const std::string& path) { return SyncPath(path, O_RDONLY); }

void SyncFolderToDisk(const std::string& path) {
    std::string folder = std::filesystem::path(path).parent_path().string();
    SyncPath(folder.empty() ? "." : folder, O_RDONLY | O_DIRECTORY);
}

}  // namespace quellhart
