#include "savefile/SiblingPaths.h"

namespace quellhart {

std::optional<std::string> SiblingPathFor(std::string_view savePath, std::string_view extension) {
    constexpr std::string_view kSaveExtension = ".ess";
    // Both separators: a path typed on Windows uses either.
    const size_t nameStart = savePath.find_last_of("/\\") + 1;  // npos + 1 == 0
    std::string result(savePath.substr(0, nameStart));
    bool replaced = false;
    size_t from = nameStart;
    for (size_t at = savePath.find(kSaveExtension, from); at != std::string_view::npos;
         at = savePath.find(kSaveExtension, from)) {
        result.append(savePath.substr(from, at - from)).append(extension);
        from = at + kSaveExtension.size();
        replaced = true;
    }
    if (!replaced) return std::nullopt;
    result.append(savePath.substr(from));
    return result;
}

bool HasBackup(std::string_view savePath, FileSystem& files) {
    const std::optional<std::string> backup = BackupPathFor(files.FinalPath(std::string(savePath)));
    FileInfo info;
    return backup && files.DescribePath(*backup, true, info) == FileError::kNone &&
           info.kind == FileKind::kRegular;
}

}  // namespace quellhart
