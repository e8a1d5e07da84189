// Private to the Win32 implementation: a dialog template as the system reads it, an
// extended template (DLGTEMPLATEEX) built in memory from the program's template
// data, so that the native windows and the Qt ones come from one description.
#pragma once

#include <cstdint>
#include <vector>

#include "res/DialogTemplate.h"

namespace quellhart::ui {

// The template's bytes, aligned as the system needs them.
std::vector<uint32_t> BuildDialogTemplateEx(const res::DialogTemplate& dialog);
// The template's controls in the order the system creates them: each caption right
// before the control it names.
std::vector<const res::ControlTemplate*> CreationOrder(const res::DialogTemplate& dialog);

// The font every template asks for.
inline constexpr const wchar_t* kDialogFontName = L"MS Sans Serif";
inline constexpr uint16_t kDialogFontPoints = 8;
// The system's own dialog font ("Microsoft Sans Serif" on Windows), which scales.
inline constexpr const wchar_t* kScalableDialogFontName = L"MS Shell Dlg";

}  // namespace quellhart::ui
