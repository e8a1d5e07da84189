#include "platform/CWinApp.h"

#include <QCoreApplication>
#include <QDialog>
#include <QFileInfo>

#include "platform/CDialog.h"
#include "platform/Prompts.h"

namespace quellhart::ui {
namespace {

CWinApp* gCurrentApp = nullptr;

}  // namespace

CWinApp::CWinApp(const char* appName) {
    // Without a name the application is named after its program file.
    appName_ =
        appName
            ? appName
            : QFileInfo(QCoreApplication::applicationFilePath()).completeBaseName().toStdString();
    gCurrentApp = this;
}

CWinApp::~CWinApp() {
    if (gCurrentApp == this) gCurrentApp = nullptr;
}

CWinApp* CWinApp::Current() { return gCurrentApp; }

BOOL CWinApp::OnCmdMsg(int, int) { return FALSE; }

void CWinApp::OnHelp() {
    AfxMessageBox(m_pMainWnd ? m_pMainWnd->Window() : nullptr,
                  "No help is available for " + appName_ + ".", appName_,
                  MB_OK | MB_ICONINFORMATION);
}

void WinHelp(unsigned long, unsigned) {}

}  // namespace quellhart::ui
