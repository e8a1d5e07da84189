#include "ui/WaitDlg.h"

#include "res/DialogTemplates.h"

namespace quellhart::ui {

CWaitDlg::CWaitDlg() : CDialog(res::WaitTemplate(), nullptr) {}

BOOL CWaitDlg::Create(WindowHandle parent) {
    const BOOL created = CDialog::Create(parent);
    UpdateWindow();
    return created;
}

}  // namespace quellhart::ui
