#include "ui/model/PendingEdits.h"

#include <cstdint>
#include <cstring>

#include "res/DialogTemplates.h"
#include "savefile/ValueText.h"
#include "ui/model/PageContents.h"

namespace quellhart::ui {
namespace {

// Values compare by their bits: a stored NaN is the same NaN, and -0 is not 0.
uint32_t Bits(float value) {
    uint32_t bits = 0;
    std::memcpy(&bits, &value, sizeof bits);
    return bits;
}
bool SameValue(float a, float b) { return Bits(a) == Bits(b); }

// The slot of the first variable named `name`, or -1.
int SlotNamed(const CSaveGame& save, const std::string& name) {
    for (int i = 0; i < save.GlobCount(); ++i)
        if (save.Glob(i).NameText() == name) return i;
    return -1;
}

std::string FieldCaption(size_t field) {
    return res::CaptionOf(res::PlayerPageTemplate(), kPlayerTextControls[field]);
}

}  // namespace

LoadedValues LoadedValues::Of(const CSaveGame& save) {
    LoadedValues loaded;
    for (size_t i = 0; i < loaded.texts.size(); ++i)
        loaded.texts[i] = save.Player()[kEditablePlayerFields[i]].Text();
    loaded.values.reserve(size_t(save.GlobCount()));
    for (int i = 0; i < save.GlobCount(); ++i) loaded.values.push_back(save.Glob(i).value);
    return loaded;
}

PendingEdits CollectPendingEdits(const CSaveGame& save, const LoadedValues& loaded,
                                 const std::optional<EditablePlayerTexts>& shownAtFill,
                                 const EditablePlayerTexts& typed) {
    PendingEdits edits;
    if (shownAtFill)
        for (size_t i = 0; i < typed.size(); ++i)
            if (typed[i] != (*shownAtFill)[i])
                edits.texts.push_back({i, typed[i], loaded.texts[i]});
    for (int i = 0; i < save.GlobCount() && size_t(i) < loaded.values.size(); ++i)
        if (const GlobEntry& glob = save.Glob(i); glob.modified)
            edits.values.push_back(
                {std::string(glob.NameText()), glob.value, loaded.values[size_t(i)]});
    return edits;
}

std::vector<EditClash> ClashesWith(const PendingEdits& edits, const CSaveGame& newer) {
    std::vector<EditClash> clashes;
    for (const PendingEdits::Text& text : edits.texts) {
        const std::string games(newer.Player()[kEditablePlayerFields[text.field]].Text());
        if (games != text.asLoaded && games != text.typed)
            clashes.push_back({FieldCaption(text.field), games, text.typed});
    }
    for (const PendingEdits::Value& value : edits.values) {
        const int slot = SlotNamed(newer, value.name);
        if (slot < 0) {
            clashes.push_back({value.name, {}, FormatFixed(double(value.typed)), true});
            continue;
        }
        const float games = newer.Glob(slot).value;
        if (!SameValue(games, value.asLoaded) && !SameValue(games, value.typed))
            clashes.push_back(
                {value.name, FormatFixed(double(games)), FormatFixed(double(value.typed))});
    }
    return clashes;
}

std::string ClashLines(const std::vector<EditClash>& clashes) {
    std::string changed, gone;
    for (const EditClash& clash : clashes) {
        if (clash.gone)
            gone += clash.what + ": yours " + clash.yours + "\n";
        else
            changed += clash.what + ": the game's " + clash.games + ", yours " + clash.yours + "\n";
    }
    std::string lines;
    if (!changed.empty()) lines += "Changed by the game too (yours will be written):\n" + changed;
    if (!gone.empty()) {
        if (!lines.empty()) lines += "\n";
        lines += "No longer in the save (not applied):\n" + gone;
    }
    if (!lines.empty()) lines.pop_back();
    return lines;
}

EditablePlayerTexts ApplyEdits(const PendingEdits& edits, CSaveGame& newer) {
    EditablePlayerTexts texts;
    for (size_t i = 0; i < texts.size(); ++i)
        texts[i] = newer.Player()[kEditablePlayerFields[i]].Text();
    for (const PendingEdits::Text& text : edits.texts) texts[text.field] = text.typed;
    if (!edits.texts.empty()) newer.SetPlayerData(RecordFromShownTexts(newer.Player(), texts));
    for (const PendingEdits::Value& value : edits.values)
        if (const int slot = SlotNamed(newer, value.name); slot >= 0)
            newer.SetGlobValue(slot, value.typed);
    return texts;
}

}  // namespace quellhart::ui
