// Private to the Win32 implementation: the only header that includes <windows.h>.
// The Windows headers define many of the framework's names as macros (MessageBox,
// SetWindowText, LoadIcon, IDOK, WS_DISABLED, ...); past this header they are
// undefined again, so that the platform layer's own names, which carry the same
// values, are what the code means. Only the wide-character functions are called,
// by their ...W names.
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

#include "platform/WinTypes.h"

namespace quellhart::ui {

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

}  // namespace quellhart::ui
