// What differs between two loaded saves: the five player texts, the chargen mark,
// and the globals matched by name (the n-th of a name in one save with the n-th of
// that name in the other). The command line's `diff` and `history` and the windows'
// list of versions say it.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "savefile/SaveGame.h"

namespace quellhart {

struct TextChange {
    const char* key;  // "name", "race", "class", "head", "hair"
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

// A stored text (up to its first zero) as the caller shows it: decoded to UTF-8 for a
// terminal, the stored bytes for a window.
using ShowText = std::function<std::string(std::string_view stored)>;

// The differences, each player text and global name given as `shown` gives it.
SaveDiff Compare(const CSaveGame& oldSave, const CSaveGame& newSave, const ShowText& shown);

// One line a difference, with each text as `escaped` gives it: 'name: "Old" -> "New"',
// "global Day: 3.000000 -> 5.000000", "only in new: global X".
std::vector<std::string> DiffLines(const SaveDiff& diff, const ShowText& escaped);

}  // namespace quellhart
