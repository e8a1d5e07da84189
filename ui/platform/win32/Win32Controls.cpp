#include "ui/platform/win32/Win32Controls.h"

#include "ui/platform/CComboBox.h"

namespace quellhart::ui {

void RegisterTemplateControls(CDialogBase& dialog, HWND window) {
    dialog.ForgetControls();
    for (const ControlTemplate& control : dialog.Template().controls)
        if (control.id != -1)
            dialog.RegisterControl(control.id, HandleOf(GetDlgItem(window, control.id)));
    for (const res::ListInitEntry& entry : dialog.Template().listInit) {
        CComboBox list;
        list.Attach(dialog.GetDlgItem(entry.id));
        list.AddString(entry.text);
    }
}

}  // namespace quellhart::ui
