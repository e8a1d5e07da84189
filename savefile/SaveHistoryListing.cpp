// The save's earlier versions as they are read: listed, compared one with the next, and
// told apart from saves to edit. Nothing here changes a file.
#include <charconv>
#include <cstdlib>
#include <memory>

#include "savefile/HistoryNames.h"
#include "savefile/SaveGame.h"
#include "savefile/SaveHistory.h"
#include "savefile/SiblingPaths.h"

namespace quellhart {

using namespace history;

std::optional<int> ParseWholeNumber(std::string_view text) {
    int keep = 0;
    const auto [end, problem] = std::from_chars(text.data(), text.data() + text.size(), keep);
    if (text.empty() || problem != std::errc() || end != text.data() + text.size() || keep < 0)
        return std::nullopt;
    return keep;
}

int HistoryKeepFromEnvironment(std::string* problem) {
    const char* value = std::getenv(kHistoryKeepVariable);
    if (!value || !*value) return kDefaultHistoryKeep;
    if (const std::optional<int> keep = ParseWholeNumber(value)) return *keep;
    if (problem)
        *problem = std::string(kHistoryKeepVariable) + " takes a whole number from 0 up, not '" +
                   value + "'.";
    return kDefaultHistoryKeep;
}

std::vector<ChangesAfterVersion> CompareVersions(FileSystem& files, const std::string& savePath,
                                                 const std::vector<SaveVersion>& versions,
                                                 const ShowText& shown) {
    const auto loaded = [&](const std::string& path, std::string& problem) {
        auto save = std::make_unique<CSaveGame>(files);
        if (save->OpenReadOnly(path) && save->Load()) return save;
        problem = save->GetErrorText();
        return std::unique_ptr<CSaveGame>();
    };
    std::vector<ChangesAfterVersion> changes(versions.size());
    if (versions.empty()) return changes;
    std::unique_ptr<CSaveGame> current = loaded(versions[0].path, changes[0].problem);
    for (size_t i = 0; i < versions.size(); ++i) {
        const bool last = i + 1 == versions.size();
        std::string saveProblem;
        std::unique_ptr<CSaveGame> next = loaded(last ? savePath : versions[i + 1].path,
                                                 last ? saveProblem : changes[i + 1].problem);
        if (current && next) changes[i].toNext = Compare(*current, *next, shown);
        current = std::move(next);
    }
    return changes;
}

FileStatus ListVersions(FileSystem& files, const std::string& savePath,
                        std::vector<SaveVersion>& versions) {
    versions.clear();
    const std::optional<std::string> folder = HistoryPathFor(savePath);
    if (!folder) return FileError::kNone;
    bool originalRestored = false;
    if (FileStatus listed = VersionsInHistory(files, *folder, versions, &originalRestored);
        !listed.Ok())
        return listed;
    // Before the history holds any version, the backup is the one the next commit keeps
    // as the original.
    const std::string backup = *BackupPathFor(savePath);
    FileInfo info;
    if (files.DescribePath(backup, true, info).Ok() && info.kind == FileKind::kRegular)
        versions.push_back(
            {backup, info.modifiedNs, info.size, versions.empty() && !originalRestored, true});
    return FileError::kNone;
}

std::string VersionNotToEdit(const std::string& path) {
    constexpr std::string_view kHistoryExtension = ".history";
    const size_t cut = path.find_last_of("/\\");
    if (cut == std::string::npos || !ReadVersionName(std::string_view(path).substr(cut + 1)))
        return {};
    const std::string folder = path.substr(0, cut);
    const size_t folderName = folder.find_last_of("/\\") + 1;  // 0 where there is no slash
    if (folder.size() < kHistoryExtension.size() + 1 ||
        folder.compare(folder.size() - kHistoryExtension.size(), kHistoryExtension.size(),
                       kHistoryExtension) != 0 ||
        folder.size() - kHistoryExtension.size() <= folderName)
        return {};
    const std::string save =
        folder.substr(0, folder.size() - kHistoryExtension.size()) + std::string(kVersionExtension);
    return path + " is an earlier version of " + save +
           ", kept in its history. Put it back as the save with Versions... in the editor or "
           "quellhart-cli restore " +
           save + " --version N (quellhart-cli history " + save +
           " lists them), or copy it out of " + folder + " to edit it as a save of its own.";
}

}  // namespace quellhart
