#include "tests/support/TempDir.h"

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <random>
#include <stdexcept>

namespace quellhart::test {

TempDir::TempDir() {
    // A new folder of a random name: create_directory says whether it made it.
    std::random_device random;
    for (int attempt = 0; attempt < 100; ++attempt) {
        path_ = std::filesystem::temp_directory_path() /
                ("quellhart-test-" + std::to_string(random()) + std::to_string(random()));
        if (std::filesystem::create_directory(path_)) return;
    }
    throw std::runtime_error("cannot make a temporary folder");
}

TempDir::~TempDir() {
    std::error_code ignored;
    std::filesystem::permissions(path_, std::filesystem::perms::owner_all,
                                 std::filesystem::perm_options::add, ignored);
    std::filesystem::remove_all(path_, ignored);
}

std::string ReadFileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) throw std::runtime_error("cannot read " + path);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::map<std::string, std::string> FilesUnder(const std::filesystem::path& folder) {
    std::map<std::string, std::string> files;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(folder))
        if (entry.is_regular_file())
            files[entry.path().lexically_relative(folder).generic_string()] =
                ReadFileBytes(entry.path().string());
    return files;
}

std::vector<std::string> HistoryVersions(const std::string& history) {
    std::vector<std::string> versions;
    if (!std::filesystem::is_directory(history)) return versions;
    for (const auto& [name, bytes] : FilesUnder(history)) versions.push_back(bytes);
    return versions;
}

}  // namespace quellhart::test
