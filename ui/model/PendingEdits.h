// The edits a user has made to a loaded save and not yet committed, as data: the
// player texts typed and the values confirmed, each beside what the save held when it
// was loaded. They can be carried over to another load of the same save, the game's
// newer one: values by their variable's name, never by their place in the run (the
// game may have added or dropped variables before them), and what the game changed
// too is listed for the user before anything is written.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "savefile/SaveGame.h"

namespace quellhart::ui {

// What a save held as it was loaded, before any edit: its five player texts as
// stored, and each variable's value by slot.
struct LoadedValues {
    EditablePlayerTexts texts;
    std::vector<float> values;

    static LoadedValues Of(const CSaveGame& save);
};

struct PendingEdits {
    struct Text {
        size_t field;  // index into kEditablePlayerFields
        std::string typed;
        std::string asLoaded;  // as stored
    };
    struct Value {
        std::string name;
        float typed;
        float asLoaded;
    };
    std::vector<Text> texts;
    std::vector<Value> values;

    bool Empty() const { return texts.empty() && values.empty(); }
};

// The edits on `save` since it was loaded as `loaded`: each value confirmed, and each
// player text whose field (`typed`) no longer shows what it showed when it was filled
// (`shownAtFill`; none when the page has not shown this save, and so holds no edit).
PendingEdits CollectPendingEdits(const CSaveGame& save, const LoadedValues& loaded,
                                 const std::optional<EditablePlayerTexts>& shownAtFill,
                                 const EditablePlayerTexts& typed);

// An edit that the newer save disagrees with: the game changed the same text or value
// to something else, or the variable is no longer in the save.
struct EditClash {
    std::string what;   // the field's caption or the variable's name
    std::string games;  // the game's value as shown; empty when gone
    std::string yours;
    bool gone = false;
};
std::vector<EditClash> ClashesWith(const PendingEdits& edits, const CSaveGame& newer);
// The clashes as the question lists them beneath its text: the ones where yours will
// be written, then the ones that cannot be applied.
std::string ClashLines(const std::vector<EditClash>& clashes);

// Applies the edits to `newer`: each value to the variable of its name, where there
// is one, and the texts into its player record. Returns the five texts the player's
// fields are to show: the newer save's, with the typed ones in their place.
EditablePlayerTexts ApplyEdits(const PendingEdits& edits, CSaveGame& newer);

}  // namespace quellhart::ui
