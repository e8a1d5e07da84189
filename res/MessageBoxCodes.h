// The numbers a message box speaks in: its types (buttons and icon) and its answers,
// with the values of the Windows headers. Below the toolkits: the commit's steps
// (ui/model) name the boxes they ask for, and every edition shows them.
#pragma once

namespace quellhart::ui {

// Dialog results and message-box answers.
inline constexpr int IDOK = 1;
inline constexpr int IDCANCEL = 2;
inline constexpr int IDYES = 6;
inline constexpr int IDNO = 7;

// Message-box types.
inline constexpr unsigned MB_OK = 0x00;
inline constexpr unsigned MB_YESNO = 0x04;
inline constexpr unsigned MB_ICONEXCLAMATION = 0x30;
inline constexpr unsigned MB_ICONINFORMATION = 0x40;
inline constexpr unsigned MB_TYPEMASK = 0x0F;
inline constexpr unsigned MB_ICONMASK = 0xF0;

}  // namespace quellhart::ui
