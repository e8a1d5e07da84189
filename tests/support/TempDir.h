// A fresh folder under the system's temporary folder for each test, removed after it.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

namespace quellhart::test {

class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::filesystem::path& Path() const { return path_; }
    std::string File(const std::string& name) const { return (path_ / name).string(); }

private:
    std::filesystem::path path_;
};

std::string ReadFileBytes(const std::string& path);

}  // namespace quellhart::test
