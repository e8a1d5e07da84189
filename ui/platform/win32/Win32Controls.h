// Private to the Win32 implementation: what every window built from a template does
// once the system has made its controls.
#pragma once

#include "ui/platform/CDialog.h"
#include "ui/platform/win32/Win32.h"

namespace quellhart::ui {

// Records the template's controls with the dialog (or page) and fills the lists of
// its initialisation block.
void RegisterTemplateControls(CDialogBase& dialog, HWND window);

// One message of a dialog's loop: Enter, the dialog's keys, the keyboard of the
// windows beside it (the help window, the property sheet's page keys), then the
// dialog manager's keys; what none of them takes goes to its window.
void DispatchDialogMessage(CDialog& dialog, MSG& message);

}  // namespace quellhart::ui
