// A fresh folder under the system's temporary folder for each test, removed after it.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <string>
#include <vector>

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

// Every regular file below `folder`, by its path relative to it ("save.ess",
// "save.history/2026-12-08T21-40-03.123Z.ess"), with its bytes.
std::map<std::string, std::string> FilesUnder(const std::filesystem::path& folder);

// The bytes of each version in the history folder `history`, oldest first; none where
// there is no such folder.
std::vector<std::string> HistoryVersions(const std::string& history);

}  // namespace quellhart::test
