#include "ui/model/VersionList.h"

#include "res/Messages.h"

namespace quellhart::ui {
namespace {

// "576 bytes", "8.1 MB": as much as a player needs to tell the versions apart.
std::string SizeText(std::int64_t bytes) {
    if (bytes < 1'000'000) return std::to_string(bytes) + " bytes";
    const std::int64_t tenths = (bytes + 50'000) / 100'000;
    return std::to_string(tenths / 10) + "." + std::to_string(tenths % 10) + " MB";
}

// "2026-12-08T21:40:03Z" as "2026-12-08 21:40:03 UTC".
std::string ShownTime(std::int64_t timeNs) {
    std::string text = VersionTimeText(timeNs);
    text[10] = ' ';
    text.pop_back();
    return text + " UTC";
}

std::string ChangesText(const ChangesAfterVersion& changes) {
    if (!changes.problem.empty()) return messages::kVersionDoesNotLoad + changes.problem;
    if (!changes.toNext) return messages::kNextDoesNotLoad;
    if (changes.toNext->Same()) return messages::kNothingChanged;
    std::string text;
    // The window shows the stored texts as they are.
    for (const std::string& line :
         DiffLines(*changes.toNext, [](std::string_view stored) { return std::string(stored); }))
        text += (text.empty() ? "" : "\n") + line;
    return text;
}

}  // namespace

VersionList ListVersionsOf(FileSystem& files, const std::string& savePath) {
    VersionList list;
    std::vector<SaveVersion> versions;
    if (const FileStatus listed = ListVersions(files, savePath, versions); !listed.Ok()) {
        list.problem = listed.Cause();
        return list;
    }
    const std::vector<ChangesAfterVersion> changes = CompareVersions(
        files, savePath, versions, [](std::string_view stored) { return std::string(stored); });
    for (size_t i = 0; i < versions.size(); ++i) {
        const SaveVersion& v = versions[i];
        std::string entry =
            std::to_string(i + 1) + "   " + ShownTime(v.timeNs) + "   " + SizeText(v.bytes);
        if (v.original) entry += std::string("   (") + messages::kOriginalVersion + ")";
        if (v.backup) entry += std::string("   (") + messages::kBackupVersion + ")";
        list.entries.push_back({v, std::move(entry), ChangesText(changes[i])});
    }
    return list;
}

}  // namespace quellhart::ui
