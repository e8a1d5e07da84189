#include "SiblingPaths.h"

#include <filesystem>

namespace quellhart {

std::optional<std::string> SiblingPathFor(std::string_view savePath, std::string_view extension) {
    constexpr std::string_view kSaveExtension = ".ess";
    std::string result;
    bool replaced = false;
    size_t from = 0;
    for (size_t at = savePath.find(kSaveExtension); at != std::string_view::npos;
         at = savePath.find(kSaveExtension, from)) {
        result.append(savePath.substr(from, at - from)).append(extension);
        from = at + kSaveExtension.size();
        replaced = true;
    }
    if (!replaced) return std::nullopt;
    result.append(savePath.substr(from));
    return result;
}

void DeleteWorkFile(const std::string& workPath) {
    std::error_code ignored;
    if (!std::filesystem::is_directory(std::filesystem::symlink_status(workPath, ignored)))
        std::filesystem::remove(workPath, ignored);
}

}  // namespace quellhart
