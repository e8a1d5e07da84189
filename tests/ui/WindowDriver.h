// Drives the real windows as a user does, on whichever toolkit the editor is built
// on: one implementation for Qt, one for Win32, so that the tests of the pages and
// the main window are written once. Each action fails the test when the user could
// not take it (a disabled or hidden control).
#pragma once

#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "ui/platform/CDialog.h"
#include "ui/platform/CPropertySheet.h"

namespace quellhart::test {

// Clicks the button as with the mouse.
void Click(ui::CDialogBase& window, int id);
// Replaces the field's text (an edit field, or a list's edit field) by typing the
// UTF-8 `text`.
void Type(ui::CDialogBase& window, int id, const std::string& text);
// Opens the list and chooses the entry at `index` with the mouse.
void Choose(ui::CDialogBase& window, int id, int index);
// Presses the Down arrow key in the control, which has the focus.
void PressDown(ui::CDialogBase& window, int id);
// Puts the keyboard on the control, as a click on it does.
void Focus(ui::CDialogBase& window, int id);

// Keys pressed where the keyboard is in `window`, through the window's own handling
// of keys, as a user presses them.
enum class Key {
    Enter,
    Tab,
    ShiftTab,
    CtrlTab,
    CtrlShiftTab,
    CtrlPageDown,
    CtrlPageUp,
    Right,
    Left
};
void Press(ui::CDialog& window, Key key);
// Types the UTF-8 `text` where the keyboard is in `window`.
void TypeHere(ui::CDialog& window, const std::string& text);

// The control's text as it is shown, in UTF-8.
std::string ShownText(ui::CDialogBase& window, int id);

// Whether the control has the keyboard focus within its window.
bool HasFocus(ui::CDialogBase& window, int id);
// Puts the keyboard on the sheet's tabs.
void FocusTabs(ui::CPropertySheet& sheet);
// Clicks the tab of the page.
void ShowPage(ui::CPropertySheet& sheet, int index);
std::vector<std::string> TabTexts(ui::CPropertySheet& sheet);

struct Bounds {
    int left, top, right, bottom;  // in the window's client coordinates
};
Bounds BoundsOf(ui::WindowHandle control);
// A window's frame on the screen.
Bounds ScreenBoundsOf(ui::WindowHandle window);
// The texts of every control in the window, in order, as Windows-1252 bytes.
std::vector<std::string> ChildTexts(ui::WindowHandle window);
// The items of the window's system menu: id and text, a separator as (0, "").
std::vector<std::pair<unsigned, std::string>> SystemMenuItems(ui::CDialog& dialog);
// Runs `opensModal` and dismisses the first modal window it shows; returns that
// window's title, or nothing when none was shown.
std::string DismissModalFrom(const std::function<void()>& opensModal);
// Runs `opensModal` and, once the modal window it shows is up, `act` within that
// window's own loop (which `act` may end); false when no modal window was shown.
bool WhileModal(const std::function<void()>& opensModal, const std::function<void()>& act);
// Lets the program run its events, as while the user looks on, until `done` holds or
// `milliseconds` have passed; whether `done` held.
bool RunEventsUntil(const std::function<bool()>& done, int milliseconds);
// Clicks the button labelled `text` (Windows-1252) in the modeless window `window`,
// such as the help window, as with the mouse.
void ClickButtonLabelled(ui::WindowHandle window, const std::string& text);

}  // namespace quellhart::test
