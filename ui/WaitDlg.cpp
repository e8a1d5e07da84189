#include "ui/WaitDlg.h"

#include <string>

#include "res/DialogTemplates.h"

namespace quellhart::ui {

CWaitDlg::CWaitDlg() : CDialog(res::WaitTemplate(), nullptr) {}

BOOL CWaitDlg::Create(WindowHandle parent) {
    const BOOL created = CDialog::Create(parent);
    UpdateWindow();
    // The box takes no keyboard, so nothing else would tell a screen reader it is
    // there: its texts are said as it appears.
    std::string texts;
    for (const res::ControlTemplate& control : res::WaitTemplate().controls)
        if (!control.text.empty()) texts += (texts.empty() ? "" : " ") + control.text;
    Announce(texts);
    return created;
}

}  // namespace quellhart::ui
