// The window driver on Win32: the messages the system sends when a user clicks,
// types and chooses, sent to the real controls.
#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>
#include <map>
#include <set>

#include "tests/ui/WindowDriver.h"
#include "ui/platform/win32/DialogLayout.h"
#include "ui/platform/win32/Win32.h"
#include "ui/platform/win32/Win32Controls.h"

namespace quellhart::test {
namespace {

HWND Control(ui::CDialogBase& window, int id) { return ui::ToHwnd(window.GetDlgItem(id)); }

// Where a combo box with an edit field takes typing: the field.
HWND TypingTarget(HWND control) {
    COMBOBOXINFO info{};
    info.cbSize = sizeof info;
    if (GetComboBoxInfo(control, &info) && info.hwndItem) return info.hwndItem;
    return control;
}

void PressKeyIn(HWND target, UINT key) {
    SendMessageW(target, WM_KEYDOWN, key, 1);
    SendMessageW(target, WM_KEYUP, key, 1 | (1u << 30) | (1u << 31));
}

std::set<HWND> ThreadWindows() {
    std::set<HWND> windows;
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND window, LPARAM found) {
            if (IsWindowVisible(window)) reinterpret_cast<std::set<HWND>*>(found)->insert(window);
            return ui::TRUE;
        },
        LPARAM(&windows));
    return windows;
}

}  // namespace

void Click(ui::CDialogBase& window, int id) {
    HWND button = Control(window, id);
    ASSERT_NE(button, nullptr) << id;
    ASSERT_TRUE(IsWindowEnabled(button)) << id;
    ASSERT_TRUE(IsWindowVisible(button)) << id;
    SendMessageW(button, BM_CLICK, 0, 0);
}

void Type(ui::CDialogBase& window, int id, const std::string& text) {
    HWND field = Control(window, id);
    ASSERT_NE(field, nullptr) << id;
    ASSERT_TRUE(IsWindowEnabled(field)) << id;
    HWND target = TypingTarget(field);
    SetFocus(target);
    SendMessageW(target, EM_SETSEL, 0, -1);  // select what is there
    PressKeyIn(target, VK_DELETE);
    for (wchar_t c : ui::WideFromUtf8(text)) SendMessageW(target, WM_CHAR, c, 1);
}

void Focus(ui::CDialogBase& window, int id) {
    HWND control = Control(window, id);
    ASSERT_NE(control, nullptr) << id;
    ASSERT_TRUE(IsWindowEnabled(control)) << id;
    SetFocus(TypingTarget(control));
}

namespace {

// Runs what is queued through the loop of the dialog each message is for, as the
// program's own loop does.
void RunQueuedMessages() {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        auto* dialog =
            static_cast<ui::CDialog*>(ui::ProgramDialogOf(GetAncestor(message.hwnd, GA_ROOT)));
        if (dialog) {
            ui::DispatchDialogMessage(*dialog, message);
        } else {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
    }
}

}  // namespace

bool RunEventsUntil(const std::function<bool()>& done, int milliseconds) {
    const ULONGLONG until = GetTickCount64() + ULONGLONG(milliseconds);
    while (!done()) {
        if (GetTickCount64() > until) return false;
        RunQueuedMessages();
        Sleep(10);
    }
    return true;
}

void Press(ui::CDialog& window, Key key) {
    struct Stroke {
        UINT key;
        bool control, shift;
    };
    static const std::map<Key, Stroke> kStrokes = {
        {Key::Enter, {VK_RETURN, false, false}},    {Key::Tab, {VK_TAB, false, false}},
        {Key::ShiftTab, {VK_TAB, false, true}},     {Key::CtrlTab, {VK_TAB, true, false}},
        {Key::CtrlShiftTab, {VK_TAB, true, true}},  {Key::CtrlPageDown, {VK_NEXT, true, false}},
        {Key::CtrlPageUp, {VK_PRIOR, true, false}}, {Key::Right, {VK_RIGHT, false, false}},
        {Key::Left, {VK_LEFT, false, false}},
    };
    const Stroke stroke = kStrokes.at(key);
    HWND target = GetFocus();
    if (!target || GetAncestor(target, GA_ROOT) != ui::ToHwnd(window.Window()))
        target = ui::ToHwnd(window.Window());
    // The modifiers as the system keeps them while the key is down.
    BYTE before[256], held[256];
    GetKeyboardState(before);
    std::copy(std::begin(before), std::end(before), std::begin(held));
    held[VK_CONTROL] = stroke.control ? 0x80 : 0;
    held[VK_SHIFT] = stroke.shift ? 0x80 : 0;
    SetKeyboardState(held);
    PostMessageW(target, WM_KEYDOWN, stroke.key, 1);
    PostMessageW(target, WM_KEYUP, stroke.key, 1 | (1u << 30) | (1u << 31));
    RunQueuedMessages();
    SetKeyboardState(before);
}

void TypeHere(ui::CDialog& window, const std::string& text) {
    HWND target = GetFocus();
    ASSERT_EQ(GetAncestor(target, GA_ROOT), ui::ToHwnd(window.Window()));
    for (wchar_t c : ui::WideFromUtf8(text)) PostMessageW(target, WM_CHAR, c, 1);
    RunQueuedMessages();
}

std::string ShownText(ui::CDialogBase& window, int id) {
    return ui::Utf8FromWide(ui::WindowTextOf(Control(window, id)));
}

bool HasFocus(ui::CDialogBase& window, int id) {
    HWND field = Control(window, id);
    return field && (GetFocus() == field || GetParent(GetFocus()) == field);
}

void Choose(ui::CDialogBase& window, int id, int index) {
    HWND list = Control(window, id);
    ASSERT_NE(list, nullptr) << id;
    ASSERT_TRUE(IsWindowEnabled(list)) << id;
    SendMessageW(list, CB_SHOWDROPDOWN, 1, 0);
    SendMessageW(list, CB_SETCURSEL, WPARAM(index), 0);
    // A click on an entry of the open list closes it and tells the dialog.
    SendMessageW(list, CB_SHOWDROPDOWN, 0, 0);
    SendMessageW(GetParent(list), WM_COMMAND, MAKEWPARAM(id, ui::CBN_SELCHANGE), LPARAM(list));
}

void PressDown(ui::CDialogBase& window, int id) {
    HWND control = Control(window, id);
    ASSERT_NE(control, nullptr) << id;
    HWND target = TypingTarget(control);
    SetFocus(target);
    PressKeyIn(target, VK_DOWN);
}

void FocusTabs(ui::CPropertySheet& sheet) {
    HWND tabs = PropSheet_GetTabControl(ui::ToHwnd(sheet.GetSafeHwnd()));
    ASSERT_NE(tabs, nullptr);
    SetFocus(tabs);
}

void ShowPage(ui::CPropertySheet& sheet, int index) {
    HWND tabs = PropSheet_GetTabControl(ui::ToHwnd(sheet.GetSafeHwnd()));
    ASSERT_NE(tabs, nullptr);
    // A click on the middle of the tab.
    RECT tab;
    ASSERT_TRUE(SendMessageW(tabs, TCM_GETITEMRECT, WPARAM(index), LPARAM(&tab)));
    const LPARAM at = MAKELPARAM((tab.left + tab.right) / 2, (tab.top + tab.bottom) / 2);
    SendMessageW(tabs, WM_LBUTTONDOWN, MK_LBUTTON, at);
    SendMessageW(tabs, WM_LBUTTONUP, 0, at);
    ASSERT_EQ(sheet.GetActiveIndex(), index);
}

std::vector<std::string> TabTexts(ui::CPropertySheet& sheet) {
    HWND tabs = PropSheet_GetTabControl(ui::ToHwnd(sheet.GetSafeHwnd()));
    std::vector<std::string> texts;
    const int count = int(SendMessageW(tabs, TCM_GETITEMCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
        wchar_t text[128] = {};
        TCITEMW item{};
        item.mask = TCIF_TEXT;
        item.pszText = text;
        item.cchTextMax = 128;
        SendMessageW(tabs, TCM_GETITEMW, WPARAM(i), LPARAM(&item));
        texts.push_back(ui::SaveTextFromWide(text));
    }
    return texts;
}

Bounds BoundsOf(ui::WindowHandle control) {
    HWND window = ui::ToHwnd(control);
    RECT r;
    GetWindowRect(window, &r);
    MapWindowPoints(nullptr, GetAncestor(window, GA_ROOT), reinterpret_cast<POINT*>(&r), 2);
    return {int(r.left), int(r.top), int(r.right), int(r.bottom)};
}

Bounds ScreenBoundsOf(ui::WindowHandle window) {
    RECT r;
    GetWindowRect(ui::ToHwnd(window), &r);
    return {int(r.left), int(r.top), int(r.right), int(r.bottom)};
}

std::vector<std::string> ChildTexts(ui::WindowHandle window) {
    std::vector<std::string> texts;
    EnumChildWindows(
        ui::ToHwnd(window),
        [](HWND child, LPARAM found) {
            reinterpret_cast<std::vector<std::string>*>(found)->push_back(
                ui::SaveTextFromWide(ui::WindowTextOf(child)));
            return ui::TRUE;
        },
        LPARAM(&texts));
    return texts;
}

std::vector<std::pair<unsigned, std::string>> SystemMenuItems(ui::CDialog& dialog) {
    HMENU menu = GetSystemMenu(ui::ToHwnd(dialog.Window()), ui::FALSE);
    std::vector<std::pair<unsigned, std::string>> items;
    for (int i = 0; i < GetMenuItemCount(menu); ++i) {
        wchar_t text[128] = {};
        MENUITEMINFOW item{};
        item.cbSize = sizeof item;
        item.fMask = MIIM_ID | MIIM_FTYPE | MIIM_STRING;
        item.dwTypeData = text;
        item.cch = 128;
        GetMenuItemInfoW(menu, UINT(i), ui::TRUE, &item);
        if (item.fType & ui::MF_SEPARATOR)
            items.emplace_back(0, "");
        else
            items.emplace_back(item.wID, ui::SaveTextFromWide(text));
    }
    return items;
}

std::string DismissModalFrom(const std::function<void()>& opensModal) {
    static std::set<HWND> before;
    static std::string title;
    before = ThreadWindows();
    title.clear();
    // The modal window's own message loop runs the timer.
    const UINT_PTR timer = SetTimer(nullptr, 0, 50, [](HWND, UINT, UINT_PTR, DWORD) {
        for (HWND window : ThreadWindows()) {
            if (before.count(window) || !title.empty()) continue;
            title = ui::SaveTextFromWide(ui::WindowTextOf(window));
            PostMessageW(window, WM_COMMAND, MAKEWPARAM(ui::IDCANCEL, ui::BN_CLICKED), 0);
        }
    });
    opensModal();
    KillTimer(nullptr, timer);
    return title;
}

bool WhileModal(const std::function<void()>& opensModal, const std::function<void()>& act) {
    static std::set<HWND> before;
    static const std::function<void()>* pending;
    static bool shown;
    before = ThreadWindows();
    pending = &act;
    shown = false;
    // The modal window's own message loop runs the timer.
    const UINT_PTR timer = SetTimer(nullptr, 0, 50, [](HWND, UINT, UINT_PTR, DWORD) {
        if (shown) return;
        for (HWND window : ThreadWindows()) {
            if (before.count(window)) continue;
            shown = true;
            (*pending)();
            // An act that stopped at a failed assertion: the window is closed, so that
            // the test fails rather than waits for ever.
            if (IsWindow(window) && IsWindowVisible(window)) {
                ADD_FAILURE() << "the modal window was left open";
                PostMessageW(window, WM_COMMAND, MAKEWPARAM(ui::IDCANCEL, ui::BN_CLICKED), 0);
            }
            return;
        }
    });
    opensModal();
    KillTimer(nullptr, timer);
    return shown;
}

void ClickButtonLabelled(ui::WindowHandle window, const std::string& text) {
    struct Search {
        std::wstring text;
        HWND found = nullptr;
    } search{ui::WideFromSaveText(text), nullptr};
    EnumChildWindows(
        ui::ToHwnd(window),
        [](HWND child, LPARAM data) {
            auto* wanted = reinterpret_cast<Search*>(data);
            if (ui::WindowTextOf(child) != wanted->text) return ui::TRUE;
            wanted->found = child;
            return ui::FALSE;
        },
        LPARAM(&search));
    ASSERT_NE(search.found, nullptr) << text;
    ASSERT_TRUE(IsWindowEnabled(search.found)) << text;
    ASSERT_TRUE(IsWindowVisible(search.found)) << text;
    SendMessageW(search.found, BM_CLICK, 0, 0);
}

}  // namespace quellhart::test
