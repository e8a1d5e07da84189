// What differs between two loaded saves: the five player texts, the chargen mark,
// and the globals matched by name (the n-th of a name in one save with the n-th of
// that name in the other). `diff` prints it for two files, `history` for each version
// and the next.
#pragma once

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "savefile/SaveGame.h"

namespace quellhart::cli {

struct TextChange {
    const char* key;
    std::string before, after;
};
struct GlobChange {
    std::string name;
    float before, after;
};

struct SaveDiff {
    std::vector<TextChange> texts;                      // the player texts that differ
    std::optional<std::pair<bool, bool>> chargenClass;  // old and new, when they differ
    std::vector<GlobChange> changed;
    std::vector<std::string> onlyInOld, onlyInNew;
    bool Same() const {
        return texts.empty() && !chargenClass && changed.empty() && onlyInOld.empty() &&
               onlyInNew.empty();
    }
};

SaveDiff Compare(const CSaveGame& oldSave, const CSaveGame& newSave);

// One line a difference, as `diff` prints them: 'name: "Old" -> "New"',
// "global Day: 3.000000 -> 5.000000", "only in new: global X".
std::string AsText(const SaveDiff& diff);

}  // namespace quellhart::cli
