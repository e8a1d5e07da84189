// What `show` prints about a loaded save, as an aligned table or as JSON.
#pragma once

#include <string>

#include "savefile/SaveDiff.h"
#include "savefile/SaveGame.h"

namespace quellhart::cli {

// The five player texts as the reports name them: a label for the table, a key for
// JSON.
struct PlayerField {
    const char* label;
    const char* jsonKey;
    PlayerRecord::Field field;
};

inline constexpr PlayerField kPlayerFields[] = {
    {"Name", "name", PlayerRecord::FNAM},       {"Race", "race", PlayerRecord::RNAM},
    {"Class", "class", PlayerRecord::CNAM},     {"Head Model", "head", PlayerRecord::BNAM},
    {"Hair Model", "hair", PlayerRecord::KNAM},
};

// A stored text as UTF-8: the bytes up to the first zero, decoded from Windows-1252.
std::string ShownText(std::string_view stored);

// UTF-8 text made safe to print on a terminal: control characters (C0, DEL and C1,
// which a save's bytes may hold and a terminal would obey) are shown as "\xNN" or
// "\u00NN" escapes.
std::string ForTerminal(std::string_view utf8);
// The same for text of several lines, each escaped and the line ends kept.
std::string ForTerminalLines(std::string_view utf8);

// "%.2X " per byte without the final space.
std::string JsonHex(std::string_view bytes);

std::string ShowAsText(const CSaveGame& save, const std::string& file);

// The differences one a line, as `diff` prints them, safe on a terminal.
std::string DiffAsText(const SaveDiff& diff);
std::string ShowAsJson(const CSaveGame& save, const std::string& file);

}  // namespace quellhart::cli
