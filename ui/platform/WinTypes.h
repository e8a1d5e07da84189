// The numbers the editor's windows speak in: command ids, notification codes,
// message-box types and answers, and control styles. They keep the values the
// editor's resources and handlers were written with.
#pragma once

#include <cstdint>

namespace quellhart::ui {

using BOOL = int;
inline constexpr BOOL TRUE = 1;
inline constexpr BOOL FALSE = 0;

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

// Notification codes of WM_COMMAND.
inline constexpr int BN_CLICKED = 0;
inline constexpr int CBN_SELCHANGE = 1;

inline constexpr int CB_ERR = -1;

// The framework's help command, and the help engine's close request.
inline constexpr int ID_HELP = 57670;
inline constexpr unsigned HELP_QUIT = 2;

// System commands.
inline constexpr unsigned SC_CLOSE = 0xF060;

// Control styles, as far as the templates use them.
enum Style : uint32_t {
    WS_DISABLED = 1u << 0,
    WS_TABSTOP = 1u << 1,
    WS_GROUP = 1u << 2,
    WS_BORDER = 1u << 3,
    WS_VSCROLL = 1u << 4,
    WS_EX_CLIENTEDGE = 1u << 5,  // a sunken edge; Qt's buttons draw their own
    SS_CENTER = 1u << 6,         // text centred horizontally
    SS_CENTERIMAGE = 1u << 7,    // text centred vertically
    SS_SUNKEN = 1u << 8,
    SS_NOPREFIX = 1u << 9,
    ES_READONLY = 1u << 10,
    ES_CENTER = 1u << 11,
    ES_AUTOHSCROLL = 1u << 12,
    ES_NUMBER = 1u << 13,
    CBS_DROPDOWN = 1u << 14,      // editable text field and a list
    CBS_DROPDOWNLIST = 1u << 15,  // a list only
    CBS_SORT = 1u << 16,
    BS_DEFPUSHBUTTON = 1u << 17,
    WS_CHILD = 1u << 18,
    WS_VISIBLE = 1u << 19,
};

}  // namespace quellhart::ui
