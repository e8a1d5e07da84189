// A list of entries to choose from, as a sorted combo box of the editor's pages keeps
// them, with none of a toolkit's controls: the browser edition's lists, and the
// search every edition's lists make.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace quellhart::ui {

// What a list answers when no entry is meant.
inline constexpr int kNoEntry = -1;

// The search of a combo box's SelectString, over any list of entries: the index of
// the first entry after `startAfter` (wrapping round, `startAfter` itself last) that
// begins with the prefix, or kNoEntry.
int FindPrefixFrom(int count, int startAfter, const std::function<bool(int)>& beginsWithPrefix);

// Whether `text` begins with `prefix`, ASCII letters' case ignored (the save's texts
// are bytes of its code page, and the window's lists ignore case).
bool BeginsWithIgnoringCase(std::string_view text, std::string_view prefix);

// Entries in case-insensitive order (a new one after those equal to it), each with a
// number of the caller's, the selected one, and the text of the list's edit field;
// the same calls, and the same answers, as the window's sorted combo boxes.
class ChoiceList {
public:
    explicit ChoiceList(const std::vector<std::string>& entries = {});

    void ResetContent();
    int AddString(std::string_view text);
    int DeleteString(int index);
    int GetCount() const { return int(entries_.size()); }
    int GetCurSel() const { return selected_; }
    int SetCurSel(int index);
    int SetItemData(int index, intptr_t data);
    intptr_t GetItemData(int index) const;
    int SelectString(int startAfter, std::string_view text);
    std::string GetLBText(int index) const;
    // What the list's edit field shows: the text of the entry selected last, which
    // stays when the selection goes.
    const std::string& EditText() const { return editText_; }

private:
    struct Entry {
        std::string text;
        intptr_t data = 0;
    };
    std::vector<Entry> entries_;
    int selected_ = kNoEntry;
    std::string editText_;
};

}  // namespace quellhart::ui
