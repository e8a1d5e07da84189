// The work file (".out") and the backup file (".bak") live beside the save and are
// named by replacing every ".ess" in the save's path. The editor's backup question
// and the document must agree on these names, so both call these functions.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace quellhart {

// The path with every occurrence of ".ess" replaced by `extension` (case-sensitive),
// or nothing when ".ess" does not occur: the sibling would then be the save itself,
// and deleting the stale work file would delete the save.
std::optional<std::string> SiblingPathFor(std::string_view savePath, std::string_view extension);

inline std::optional<std::string> WorkPathFor(std::string_view savePath) {
    return SiblingPathFor(savePath, ".out");
}
inline std::optional<std::string> BackupPathFor(std::string_view savePath) {
    return SiblingPathFor(savePath, ".bak");
}

// Deletes the work file at `workPath` if there is one. Only a file is deleted: a
// folder of that name is the user's, not a work file.
void DeleteWorkFile(const std::string& workPath);

}  // namespace quellhart
