// The name each open handle of a file layer was opened by, so that a failed call on a
// handle can say which file it concerned. A commit runs on a thread of its own while
// the window's thread may open a save: every look is made under a lock.
#pragma once

#include <mutex>
#include <string>
#include <unordered_map>
#include <utility>

#include "savefile/FileSystem.h"

namespace quellhart {

class OpenFileNames {
public:
    FileHandle Opened(FileHandle file, const std::string& path) {
        const std::lock_guard hold(lock_);
        names_[file] = path;
        return file;
    }
    // Forgets the handle, returning its name.
    std::string Closed(FileHandle file) {
        const std::lock_guard hold(lock_);
        const auto named = names_.find(file);
        if (named == names_.end()) return {};
        std::string path = std::move(named->second);
        names_.erase(named);
        return path;
    }
    std::string Of(FileHandle file) {
        const std::lock_guard hold(lock_);
        const auto named = names_.find(file);
        return named == names_.end() ? std::string() : named->second;
    }

private:
    std::mutex lock_;
    std::unordered_map<FileHandle, std::string> names_;
};

}  // namespace quellhart
