// A combo box with the list messages the pages send. Lists with the sort style keep
// their entries in case-insensitive order; entries of equal text are all kept.
// Nothing here notifies: only the user's own choice of an entry sends
// CBN_SELCHANGE, through the dialog's command routing.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "ui/model/ChoiceList.h"
#include "ui/platform/CWnd.h"

namespace quellhart::ui {

class CComboBox : public CWnd {
public:
    // Removes every entry; nothing is selected afterwards.
    void ResetContent();
    // Inserts at the sorted place and returns the index; the selection and the edit
    // text stay as they were.
    int AddString(std::string_view text);
    int DeleteString(int index);
    int GetCount() const;
    int GetCurSel() const;
    // Selects the entry, or nothing for an index that names none.
    int SetCurSel(int index);
    int SetItemData(int index, intptr_t data);
    // The entry's data, or CB_ERR for an index that names no entry.
    intptr_t GetItemData(int index) const;
    // The first entry after `startAfter` (wrapping round, `startAfter` itself last)
    // whose text begins with `text`, case ignored; it is selected and its own text
    // goes into the edit field. CB_ERR, with nothing changed, when none does.
    int SelectString(int startAfter, std::string_view text);
    std::string GetLBText(int index) const;
};

}  // namespace quellhart::ui
