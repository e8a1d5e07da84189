#include "ui/EditorApp.h"

#include "ui/MainDlg.h"

namespace quellhart::ui {

const MessageMap<CEditorApp> CEditorApp::kMessageMap = {
    {ID_HELP, BN_CLICKED, &CEditorApp::OnHelp},
};

CEditorApp::CEditorApp() : CWinApp(nullptr) {}

BOOL CEditorApp::OnCmdMsg(int id, int code) {
    return DispatchCommand(kMessageMap, this, id, code) ? TRUE : CWinApp::OnCmdMsg(id, code);
}

// The application has done its work when the main window has closed.
BOOL CEditorApp::InitInstance() {
    CMainDlg dialog(nullptr);
    m_pMainWnd = &dialog;
    dialog.DoModal();
    m_pMainWnd = nullptr;
    return FALSE;
}

}  // namespace quellhart::ui
