// What the editor's two pages show of a save: the Global Variables page's list and
// fields, the Player Data page's race and class lists. Written once for every
// edition: the window's pages call it with their combo boxes, the browser edition
// with its ChoiceLists (both have a sorted combo box's calls), so that a save reads
// the same wherever it is opened.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "res/ControlIds.h"
#include "savefile/SaveGame.h"

namespace quellhart::ui {

// The Player Data page's fields for name, race, class, head and hair: the texts of
// kEditablePlayerFields, in that order.
inline constexpr int kPlayerTextControls[] = {IDC_PLAYER_NAME, IDC_PLAYER_RACE, IDC_PLAYER_CLASS,
                                              IDC_PLAYER_HEAD, IDC_PLAYER_HAIR};

// `count` bytes as the pages show them ("00 0A FF "); nothing for none.
std::string HexDumpText(const uint8_t* bytes, int count);

// The Global Variables page's fields for one variable, by control, in page order.
struct FieldText {
    int id;
    std::string text;
};
std::vector<FieldText> GlobFieldTexts(const GlobEntry& glob);

// The player's record with the five texts as the page's fields hold them (in
// kEditablePlayerFields order, stored form). A field shows a stored text whole even
// where it is longer than the field lets the user type: unchanged, it is kept whole;
// changed, it is cut to what the field takes.
PlayerRecord RecordFromShownTexts(const PlayerRecord& stored, EditablePlayerTexts shown);

// The variables' names, each entry carrying its slot in the save, the first selected.
template <class List>
void FillGlobList(List& list, const CSaveGame& save) {
    list.ResetContent();
    for (int i = 0; i < save.GlobCount(); ++i)
        list.SetItemData(list.AddString(save.Glob(i).NameText()), i);
    list.SetCurSel(0);
}

// The slot of the variable chosen in the list, or -1 when none is.
template <class List>
int SelectedGlobSlot(const List& list, const CSaveGame* save) {
    if (!save) return -1;
    const intptr_t slot = list.GetItemData(list.GetCurSel());
    return slot >= 0 && slot < save->GlobCount() ? int(slot) : -1;
}

// Selects the first entry whose text is `text` exactly (a variable chosen before the
// same save was loaded again); nothing changes where none is.
template <class List>
void SelectEntryNamed(List& list, std::string_view text) {
    for (int i = 0; i < list.GetCount(); ++i)
        if (list.GetLBText(i) == text) {
            list.SetCurSel(i);
            return;
        }
}

// Selects the first entry, after the first, that the text begins with (case ignored):
// a stored "dark elf" shows, and is committed, as "Dark Elf", and an empty text as
// the second entry. A text no entry begins with is added first.
template <class List>
void SelectOrAdd(List& list, std::string_view text) {
    if (list.SelectString(0, text) != -1) return;
    list.AddString(text);
    list.SelectString(0, text);
}

// The race and class lists for the save's player. The chargen class is listed only
// while the save defines it. Returns whether the player's class is an undefined
// chargen class, of which the user is warned.
template <class List>
bool ShowPlayerLists(List& races, List& classes, const CSaveGame& save) {
    const PlayerRecord& player = save.Player();
    SelectOrAdd(races, player[PlayerRecord::RNAM].Text());

    const int chargenEntry = classes.SelectString(0, kChargenClassId);
    if (chargenEntry != -1) classes.DeleteString(chargenEntry);
    if (save.HasChargenClass()) classes.AddString(kChargenClassId);

    const std::string_view playerClass = player[PlayerRecord::CNAM].Text();
    if (classes.SelectString(0, playerClass) != -1) return false;
    classes.AddString(playerClass);
    classes.SelectString(0, playerClass);
    return playerClass.substr(0, kChargenClassId.size()) == kChargenClassId;
}

}  // namespace quellhart::ui
