// The numbers the editor's windows speak in: window handles, command ids,
// notification codes, message-box types and answers. They keep the values of the
// Windows headers, which the native build passes straight through.
#pragma once

#include <cstdint>

#include "res/ControlIds.h"
#include "res/MessageBoxCodes.h"
#include "res/WindowStyles.h"

namespace quellhart::ui {

// A window or control of whichever toolkit the program is built on: a widget of Qt's,
// or a Win32 window handle. Only the toolkit's own implementation looks behind it.
struct NativeWindow;
using WindowHandle = NativeWindow*;
// An icon loaded from the program's resources.
struct NativeIcon;
using IconHandle = NativeIcon*;

using BOOL = int;
inline constexpr BOOL TRUE = 1;
inline constexpr BOOL FALSE = 0;

// Notification codes of WM_COMMAND.
inline constexpr int BN_CLICKED = 0;
inline constexpr int CBN_SELCHANGE = 1;

inline constexpr int CB_ERR = -1;

// The help engine's close request.
inline constexpr unsigned HELP_QUIT = 2;

// System commands.
inline constexpr unsigned SC_CLOSE = 0xF060;

// Menu items.
inline constexpr unsigned MF_STRING = 0x0000;
inline constexpr unsigned MF_SEPARATOR = 0x0800;

}  // namespace quellhart::ui
