// Window and control styles as the templates give them: the values of the Windows
// headers, so that the same numbers build the native dialogs and the Qt ones. Only
// the styles the templates use are named.
#pragma once

#include <cstdint>

namespace quellhart {

// Windows.
inline constexpr uint32_t WS_POPUP = 0x80000000;
inline constexpr uint32_t WS_CHILD = 0x40000000;
inline constexpr uint32_t WS_VISIBLE = 0x10000000;
inline constexpr uint32_t WS_DISABLED = 0x08000000;
inline constexpr uint32_t WS_CAPTION = 0x00C00000;  // a title bar (border and frame)
inline constexpr uint32_t WS_BORDER = 0x00800000;
inline constexpr uint32_t WS_VSCROLL = 0x00200000;
inline constexpr uint32_t WS_SYSMENU = 0x00080000;
inline constexpr uint32_t WS_GROUP = 0x00020000;
inline constexpr uint32_t WS_TABSTOP = 0x00010000;

// Dialog boxes.
inline constexpr uint32_t DS_3DLOOK = 0x0004;
inline constexpr uint32_t DS_SETFONT = 0x0040;
inline constexpr uint32_t DS_MODALFRAME = 0x0080;
inline constexpr uint32_t DS_SETFOREGROUND = 0x0200;

// Extended styles, which templates keep in a field of their own.
inline constexpr uint32_t WS_EX_CLIENTEDGE = 0x00000200;
inline constexpr uint32_t WS_EX_CONTROLPARENT = 0x00010000;
inline constexpr uint32_t WS_EX_APPWINDOW = 0x00040000;

// Static controls.
inline constexpr uint32_t SS_CENTER = 0x0001;
inline constexpr uint32_t SS_RIGHT = 0x0002;
inline constexpr uint32_t SS_ICON = 0x0003;
inline constexpr uint32_t SS_BITMAP = 0x000E;
inline constexpr uint32_t SS_NOPREFIX = 0x0080;
inline constexpr uint32_t SS_NOTIFY = 0x0100;
inline constexpr uint32_t SS_CENTERIMAGE = 0x0200;
inline constexpr uint32_t SS_SUNKEN = 0x1000;
inline constexpr uint32_t SS_PATHELLIPSIS = 0x8000;

// Edit controls.
inline constexpr uint32_t ES_CENTER = 0x0001;
inline constexpr uint32_t ES_AUTOHSCROLL = 0x0080;
inline constexpr uint32_t ES_READONLY = 0x0800;
inline constexpr uint32_t ES_NUMBER = 0x2000;

// Combo boxes: the low two bits are the kind, not flags.
inline constexpr uint32_t CBS_DROPDOWN = 0x0002;      // an editable text field and a list
inline constexpr uint32_t CBS_DROPDOWNLIST = 0x0003;  // a list only
inline constexpr uint32_t CBS_KINDMASK = 0x0003;
inline constexpr uint32_t CBS_AUTOHSCROLL = 0x0040;
inline constexpr uint32_t CBS_SORT = 0x0100;

// Buttons.
inline constexpr uint32_t BS_DEFPUSHBUTTON = 0x0001;

inline bool IsEditableList(uint32_t style) { return (style & CBS_KINDMASK) == CBS_DROPDOWN; }

}  // namespace quellhart
