// Private to the Win32 implementation: the only header that includes <windows.h>.
// The Windows headers define many of the framework's names as macros (MessageBox,
// SetWindowText, LoadIcon, IDOK, WS_DISABLED, ...); past this header they are
// undefined again, so that the platform layer's own names, which carry the same
// values (checked when this header is compiled), are what the code means. Only the
// wide-character functions are called, by their ...W names.
#pragma once

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
// clang-format off
#include <commctrl.h>
#include <cderr.h>
#include <commdlg.h>
#include <shellapi.h>
// clang-format on

#undef AppendMenu
#undef LoadIcon
#undef LoadString
#undef MessageBox
#undef SetWindowText
#undef GetWindowText
#undef DrawIcon
// The system's values of the names the platform layer defines again, taken before they
// are undefined and compared with the layer's own below: the build fails where one
// differs.
// clang-format off
#define QH_SYSTEM_CONSTANTS(X) \
    X(TRUE) X(FALSE) X(IDOK) X(IDCANCEL) X(IDYES) X(IDNO) X(MB_OK) X(MB_YESNO) \
    X(MB_ICONEXCLAMATION) X(MB_ICONINFORMATION) X(MB_TYPEMASK) X(MB_ICONMASK) X(BN_CLICKED) \
    X(CBN_SELCHANGE) X(CB_ERR) X(HELP_QUIT) X(SC_CLOSE) X(MF_STRING) X(MF_SEPARATOR) \
    X(WS_POPUP) X(WS_CHILD) X(WS_VISIBLE) X(WS_DISABLED) X(WS_CAPTION) X(WS_BORDER) \
    X(WS_VSCROLL) X(WS_SYSMENU) X(WS_GROUP) X(WS_TABSTOP) X(DS_3DLOOK) X(DS_SETFONT) \
    X(DS_MODALFRAME) X(DS_SETFOREGROUND) X(WS_EX_CLIENTEDGE) X(WS_EX_CONTROLPARENT) \
    X(WS_EX_APPWINDOW) X(SS_CENTER) X(SS_RIGHT) X(SS_ICON) X(SS_BITMAP) X(SS_NOPREFIX) \
    X(SS_CENTERIMAGE) X(SS_SUNKEN) X(SS_PATHELLIPSIS) X(SS_NOTIFY) X(ES_CENTER) \
    X(ES_AUTOHSCROLL) X(ES_READONLY) X(ES_NUMBER) X(CBS_DROPDOWN) X(CBS_DROPDOWNLIST) \
    X(CBS_AUTOHSCROLL) X(CBS_SORT) X(BS_DEFPUSHBUTTON)
// clang-format on
namespace quellhart::ui::system_values {
#define QH_KEEP(name) inline constexpr long long name##_ = static_cast<long long>(name);
QH_SYSTEM_CONSTANTS(QH_KEEP)
#undef QH_KEEP
}  // namespace quellhart::ui::system_values

#undef TRUE
#undef FALSE
#undef IDOK
#undef IDCANCEL
#undef IDYES
#undef IDNO
#undef MB_OK
#undef MB_YESNO
#undef MB_ICONEXCLAMATION
#undef MB_ICONINFORMATION
#undef MB_TYPEMASK
#undef MB_ICONMASK
#undef BN_CLICKED
#undef CBN_SELCHANGE
#undef CB_ERR
#undef HELP_QUIT
#undef SC_CLOSE
#undef MF_STRING
#undef MF_SEPARATOR
#undef WS_POPUP
#undef WS_CHILD
#undef WS_VISIBLE
#undef WS_DISABLED
#undef WS_CAPTION
#undef WS_BORDER
#undef WS_VSCROLL
#undef WS_SYSMENU
#undef WS_GROUP
#undef WS_TABSTOP
#undef DS_3DLOOK
#undef DS_SETFONT
#undef DS_MODALFRAME
#undef DS_SETFOREGROUND
#undef WS_EX_CLIENTEDGE
#undef WS_EX_CONTROLPARENT
#undef WS_EX_APPWINDOW
#undef SS_CENTER
#undef SS_RIGHT
#undef SS_ICON
#undef SS_BITMAP
#undef SS_NOPREFIX
#undef SS_CENTERIMAGE
#undef SS_SUNKEN
#undef SS_PATHELLIPSIS
#undef SS_NOTIFY
#undef ES_CENTER
#undef ES_AUTOHSCROLL
#undef ES_READONLY
#undef ES_NUMBER
#undef CBS_DROPDOWN
#undef CBS_DROPDOWNLIST
#undef CBS_AUTOHSCROLL
#undef CBS_SORT
#undef BS_DEFPUSHBUTTON

#include <string>
#include <string_view>

#include "res/WindowStyles.h"
#include "ui/platform/WinTypes.h"

namespace quellhart::ui {

#define QH_SAME(name)                                                     \
    static_assert(static_cast<long long>(name) == system_values::name##_, \
                  #name " differs from the system's");
QH_SYSTEM_CONSTANTS(QH_SAME)
#undef QH_SAME
#undef QH_SYSTEM_CONSTANTS

inline HWND ToHwnd(WindowHandle window) { return reinterpret_cast<HWND>(window); }
inline WindowHandle HandleOf(HWND window) { return reinterpret_cast<WindowHandle>(window); }

std::wstring WideFromUtf8(std::string_view utf8);
std::string Utf8FromWide(std::wstring_view wide);
// Window texts: Windows-1252 bytes, every byte kept through UTF-16 and back by the
// program's own code page.
std::wstring WideFromSaveText(std::string_view bytes);
std::string SaveTextFromWide(std::wstring_view wide);
std::wstring WindowTextOf(HWND window);
// The tooltip that shows a label's whole path, if it has one.
HWND TooltipOf(WindowHandle label);

// The program's module, where its resources are.
HINSTANCE ProgramInstance();

// Modeless windows whose keyboard navigation every message loop serves: dialogs
// (Tab, Escape, Enter) and property sheets (Ctrl+Tab, Ctrl+Page Up and Down).
void AddModelessWindow(HWND window);
void AddPropertySheet(HWND sheet);
void RemoveModelessWindow(HWND window);
bool IsModelessWindowMessage(MSG& message);
// A page key anywhere in the sheet's window: the sheet turns its page, and the
// keyboard goes to the page shown.
bool TurnPageByKey(HWND sheet, MSG& message);

}  // namespace quellhart::ui
