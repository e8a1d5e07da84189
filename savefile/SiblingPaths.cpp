#include "savefile/SiblingPaths.h"

#include <array>
#include <vector>

#include "savefile/SaveFormat.h"

namespace quellhart {
namespace {

struct SiblingKind {
    std::string_view extension, role;
};
constexpr std::array<SiblingKind, 5> kSiblingKinds = {{{".out", "work file"},
                                                       {".bak", "backup"},
                                                       {".prev", "second name during a commit"},
                                                       {".swap", "name during a restore"},
                                                       {".history", "folder of versions"}}};

// The saves that would have `sibling` as their sibling of `kind`: the name with some
// of its occurrences of the kind's extension (in the file's own name) put back to
// ".ess". A name holds few of them; more than eight are not searched.
std::vector<std::string> SavesWithSibling(const std::string& sibling, const SiblingKind& kind) {
    const size_t nameStart = sibling.find_last_of("/\\") + 1;
    std::vector<size_t> at;
    for (size_t found = sibling.find(kind.extension, nameStart); found != std::string::npos;
         found = sibling.find(kind.extension, found + kind.extension.size()))
        at.push_back(found);
    std::vector<std::string> saves;
    if (at.size() > 8) return saves;
    for (unsigned chosen = 1; chosen < (1u << at.size()); ++chosen) {
        std::string save = sibling;
        for (size_t i = at.size(); i-- > 0;)  // from the back, so that offsets hold
            if (chosen & (1u << i)) save.replace(at[i], kind.extension.size(), ".ess");
        if (SiblingPathFor(save, kind.extension) == sibling) saves.push_back(std::move(save));
    }
    return saves;
}

}  // namespace

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

std::string SiblingOfAnotherSave(FileSystem& files, std::string_view savePath) {
    for (const SiblingKind& mine : kSiblingKinds) {
        const std::optional<std::string> sibling = SiblingPathFor(savePath, mine.extension);
        if (!sibling) return {};
        for (const SiblingKind& theirs : kSiblingKinds) {
            for (const std::string& other : SavesWithSibling(*sibling, theirs)) {
                FileInfo info;
                if (other == savePath || files.DescribePath(other, false, info) != FileError::kNone)
                    continue;
                return *sibling + " is the " + std::string(mine.role) + " of this save and the " +
                       std::string(theirs.role) + " of " + other + "; rename one of the two saves.";
            }
        }
    }
    return {};
}

std::string SiblingNameTooLong(std::string_view savePath) {
    constexpr size_t kLongestName = 255;
    const auto nameLength = [](std::string_view path) {
        return path.size() - (path.find_last_of("/\\") + 1);
    };
    // A longer name of the save's own: the file system counts otherwise (exFAT counts
    // UTF-16 units), and it took that one.
    if (nameLength(savePath) > kLongestName) return {};
    for (const SiblingKind& kind : kSiblingKinds) {
        // Without the folder of versions a commit still goes through (and says so).
        if (kind.extension == ".history") continue;
        const std::optional<std::string> sibling = SiblingPathFor(savePath, kind.extension);
        if (sibling && nameLength(*sibling) > kLongestName)
            return "The name of the save's " + std::string(kind.role) + ", " + *sibling +
                   ", would be longer than a file name may be; give the save a shorter name.";
    }
    return {};
}

std::string BackupNameInTheWay(FileSystem& files, std::string_view savePath) {
    const std::optional<std::string> backup = BackupPathFor(savePath);
    FileInfo info;
    if (!backup || files.DescribePath(*backup, true, info) != FileError::kNone ||
        info.kind == FileKind::kRegular)
        return {};
    return *backup + " is " + (info.kind == FileKind::kFolder ? "a folder" : "no file") +
           ", where the backup goes; move it elsewhere to commit.";
}

bool BeginsAsASave(FileSystem& files, FileHandle file) {
    uint32_t magic = 0;
    size_t got = 0;
    return files.ReadAt(file, 0, &magic, sizeof magic, got) == FileError::kNone &&
           got == sizeof magic && magic == kTagTES3;
}

bool HasBackup(std::string_view savePath, FileSystem& files) {
    const std::optional<std::string> backup = BackupPathFor(files.FinalPath(std::string(savePath)));
    FileInfo info;
    return backup && files.DescribePath(*backup, true, info) == FileError::kNone &&
           info.kind == FileKind::kRegular;
}

}  // namespace quellhart
