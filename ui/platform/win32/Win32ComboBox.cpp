// The combo box's messages go straight to the system's control, which keeps sorted
// lists in case-insensitive order, entries of equal text after each other. The prefix
// search is the program's own, so that it follows the same rule on every toolkit.
#include "ui/platform/CComboBox.h"
#include "ui/platform/win32/Win32.h"

namespace quellhart::ui {
namespace {

LRESULT Send(WindowHandle combo, UINT message, WPARAM wParam = 0, LPARAM lParam = 0) {
    return SendMessageW(ToHwnd(combo), message, wParam, lParam);
}

std::wstring EntryText(WindowHandle combo, int index) {
    const LRESULT length = Send(combo, CB_GETLBTEXTLEN, WPARAM(index));
    if (length < 0) return {};
    std::wstring text(size_t(length) + 1, L'\0');
    Send(combo, CB_GETLBTEXT, WPARAM(index), LPARAM(text.data()));
    text.resize(size_t(length));
    return text;
}

}  // namespace

void CComboBox::ResetContent() {
    if (GetSafeHwnd()) Send(hwnd_, CB_RESETCONTENT);
}

int CComboBox::AddString(std::string_view text) {
    if (!GetSafeHwnd()) return CB_ERR;
    const std::wstring entry = WideFromSaveText(text);
    return int(Send(hwnd_, CB_ADDSTRING, 0, LPARAM(entry.c_str())));
}

int CComboBox::DeleteString(int index) {
    return GetSafeHwnd() ? int(Send(hwnd_, CB_DELETESTRING, WPARAM(index))) : CB_ERR;
}

int CComboBox::GetCount() const { return GetSafeHwnd() ? int(Send(hwnd_, CB_GETCOUNT)) : 0; }

int CComboBox::GetCurSel() const { return GetSafeHwnd() ? int(Send(hwnd_, CB_GETCURSEL)) : CB_ERR; }

int CComboBox::SetCurSel(int index) {
    return GetSafeHwnd() ? int(Send(hwnd_, CB_SETCURSEL, WPARAM(index))) : CB_ERR;
}

int CComboBox::SetItemData(int index, intptr_t data) {
    return GetSafeHwnd() ? int(Send(hwnd_, CB_SETITEMDATA, WPARAM(index), LPARAM(data))) : CB_ERR;
}

intptr_t CComboBox::GetItemData(int index) const {
    return GetSafeHwnd() ? intptr_t(Send(hwnd_, CB_GETITEMDATA, WPARAM(index))) : CB_ERR;
}

int CComboBox::SelectString(int startAfter, std::string_view text) {
    if (!GetSafeHwnd()) return CB_ERR;
    const std::wstring prefix = WideFromSaveText(text);
    const int i = FindPrefixFrom(GetCount(), startAfter, [&](int entry) {
        const std::wstring item = EntryText(hwnd_, entry);
        return prefix.empty() ||
               (item.size() >= prefix.size() &&
                CompareStringW(LOCALE_INVARIANT, NORM_IGNORECASE, item.data(), int(prefix.size()),
                               prefix.data(), int(prefix.size())) == CSTR_EQUAL);
    });
    // Selecting an entry of a list with an edit field puts its text there.
    if (i != CB_ERR) Send(hwnd_, CB_SETCURSEL, WPARAM(i));
    return i;
}

std::string CComboBox::GetLBText(int index) const {
    return GetSafeHwnd() ? SaveTextFromWide(EntryText(hwnd_, index)) : std::string();
}

}  // namespace quellhart::ui
