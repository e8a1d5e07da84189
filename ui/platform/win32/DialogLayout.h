// Private to the Win32 implementation: windows laid out from their templates at the
// DPI of the monitor they are on. The system builds a dialog in the units of its
// font at the system's DPI, and leaves it there when the window meets another
// monitor; property sheets measure their pages in a font of their own. Here every
// window takes the template's font at its own DPI, the dialog units that font
// gives, every control's rectangle from those units, and pictures scaled to their
// rectangles, so that a window at 150 % is the window at 100 % made larger.
#pragma once

#include "ui/platform/CDialog.h"
#include "ui/platform/win32/Win32.h"

namespace quellhart::ui {

// The template's font at one DPI, and the dialog base units it gives (as the
// system's dialog manager measures them).
struct DialogMetrics {
    HFONT font;  // shared; lives as long as the program
    int baseX;
    int baseY;
    UINT dpi;
    int X(int dialogUnits) const { return MulDiv(dialogUnits, baseX, 4); }
    int Y(int dialogUnits) const { return MulDiv(dialogUnits, baseY, 8); }
    // A length in pixels at 96 DPI, at this DPI.
    int Scaled(int pixelsAt96) const { return MulDiv(pixelsAt96, int(dpi), 96); }
};
const DialogMetrics& MetricsFor(UINT dpi);

// The DPI the window's top-level window is laid out at: the one it was last laid
// out at, else the monitor's (the system's where the system cannot tell).
UINT DpiOf(HWND window);

// Lays out a window built from `dialog` at `dpi`: its font, every control of the
// template in its rectangle, the picture and the icon scaled into theirs. A
// top-level window's client area is then sized to the template; a page's size is
// its sheet's business.
void LayOutDialog(HWND window, const res::DialogTemplate& dialog, UINT dpi);

// The dialog or page of the program's that `window` is, or none (a window of the
// system's: a message box, the property sheet itself).
CDialogBase* ProgramDialogOf(HWND window);
void SetProgramDialog(HWND window, CDialogBase* dialog);

// The property sheets inside `window`, laid out again at `dpi` (a change of monitor).
void LayOutPropertySheets(HWND window, UINT dpi);
// A property sheet and its pages at `dpi` (defined with the sheet).
void LayOutPropertySheet(HWND sheet, UINT dpi);

}  // namespace quellhart::ui
