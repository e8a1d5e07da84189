#include "ui/platform/CWinApp.h"

#include "ui/platform/Application.h"
#include "ui/platform/CDialog.h"
#include "ui/platform/Prompts.h"

namespace quellhart::ui {
namespace {

CWinApp* gCurrentApp = nullptr;

}  // namespace

// Without a name the application is named after its program file, which is known
// only once the toolkit has started; the application object may be made before.
CWinApp::CWinApp(const char* appName) : appName_(appName ? appName : "") { gCurrentApp = this; }

CWinApp::~CWinApp() {
    if (gCurrentApp == this) gCurrentApp = nullptr;
}

CWinApp* CWinApp::Current() { return gCurrentApp; }

std::string CWinApp::AppName() const { return appName_.empty() ? ProgramFileStem() : appName_; }

BOOL CWinApp::OnCmdMsg(int, int) { return FALSE; }

void CWinApp::OnHelp() {
    AfxMessageBox(m_pMainWnd ? m_pMainWnd->Window() : nullptr,
                  "No help is available for " + AppName() + ".", AppName(),
                  MB_OK | MB_ICONINFORMATION);
}

void WinHelp(unsigned long, unsigned) {}

}  // namespace quellhart::ui
