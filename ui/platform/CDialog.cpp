// What every toolkit's dialogs share: command routing and data exchange.
#include "ui/platform/CDialog.h"

#include "ui/platform/CWinApp.h"

namespace quellhart::ui {

CDialogBase::CDialogBase(const DialogTemplate& dialogTemplate) : template_(dialogTemplate) {}

CDialogBase::~CDialogBase() = default;

WindowHandle CDialogBase::GetDlgItem(int id) const {
    const auto it = controls_.find(id);
    if (it == controls_.end()) return nullptr;
    CWnd control;
    control.Attach(it->second);
    return control.GetSafeHwnd();
}

BOOL CDialogBase::OnCommand(int id, int code) { return DefaultCommand(id, code); }

BOOL CDialogBase::DefaultCommand(int id, int code) {
    // Commands a window does not handle go to the application's table.
    return CWinApp::Current() ? CWinApp::Current()->OnCmdMsg(id, code) : FALSE;
}

void CDialogBase::UpdateData(BOOL saveAndValidate) {
    CDataExchange exchange{this, saveAndValidate};
    DoDataExchange(&exchange);
}

void DDX_Control(CDataExchange* exchange, int id, CWnd& control) {
    control.Attach(exchange->dialog->GetDlgItem(id));
}

BOOL CDialog::OnInitDialog() {
    UpdateData(FALSE);
    return TRUE;
}

void CDialog::OnSysCommand(unsigned id, intptr_t lParam) { DefaultSysCommand(id, lParam); }

BOOL CDialog::DefaultCommand(int id, int code) {
    if ((id == IDOK || id == IDCANCEL) && code == BN_CLICKED) {
        EndDialog(id);
        return TRUE;
    }
    return CDialogBase::DefaultCommand(id, code);
}

}  // namespace quellhart::ui
