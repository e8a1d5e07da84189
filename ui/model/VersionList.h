// A save's earlier versions as every edition lists them: an entry for each, oldest
// first and the backup last, and beneath the chosen one what changed in the next
// version, in the save's own code page as the windows show its texts.
#pragma once

#include <string>
#include <vector>

#include "savefile/FileSystem.h"
#include "savefile/SaveHistory.h"

namespace quellhart::ui {

struct VersionListEntry {
    SaveVersion version;
    std::string entry;    // "3   2026-12-08 21:40:03 UTC   8.1 MB   (the original)"
    std::string changes;  // one change a line; or that nothing changed, or why not told
};

struct VersionList {
    std::vector<VersionListEntry> entries;
    std::string problem;  // why the versions could not be listed, where they could not
};

VersionList ListVersionsOf(FileSystem& files, const std::string& savePath);

}  // namespace quellhart::ui
