#include "ui/MainDlg.h"

#include <QDialog>

#include "platform/CWinApp.h"
#include "platform/Prompts.h"
#include "platform/Resources.h"
#include "platform/SystemMenu.h"
#include "res/ControlIds.h"
#include "res/DialogTemplates.h"
#include "res/EditorLimits.h"
#include "res/Messages.h"
#include "savefile/SiblingPaths.h"
#include "ui/AboutDlg.h"
#include "ui/WaitDlg.h"

namespace quellhart::ui {

const MessageMap<CMainDlg> CMainDlg::kMessageMap = {
    {IDC_OPEN_FILE, BN_CLICKED, &CMainDlg::OnOpenFile},
    {IDC_COMMIT_CHANGES, BN_CLICKED, &CMainDlg::OnCommitChanges},
};

namespace {

constexpr const char* kSaveFilter = "Quellhart save Files (*.ess)|*.ess||";

}  // namespace

CMainDlg::CMainDlg(QWidget* parent)
    : CDialog(res::MainTemplate(), parent), m_hIcon(LoadAppIcon()) {}

CMainDlg::~CMainDlg() {
    // The pages go with the window; they never outlive the document they point at.
    DetachPages();
}

BOOL CMainDlg::OnCommand(int id, int code) {
    return DispatchCommand(kMessageMap, this, id, code) ? TRUE : CDialog::OnCommand(id, code);
}

void CMainDlg::DoDataExchange(CDataExchange* exchange) {
    DDX_Control(exchange, IDC_COMMIT_CHANGES, m_commitButton);
    DDX_Control(exchange, IDC_ACTIVE_FILE, m_activeFileLabel);
}

BOOL CMainDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    if (SystemMenu* menu = GetSystemMenu(FALSE)) {
        const std::string aboutText = res::LoadString(res::IDS_ABOUTBOX);
        if (!aboutText.empty()) {
            menu->AppendMenu(MF_SEPARATOR);
            menu->AppendMenu(MF_STRING, res::IDM_ABOUTBOX, aboutText);
        }
    }
    Window()->setWindowIcon(m_hIcon);  // both the large and the small icon
    m_document.reset();
    m_sheet.AddPage(&m_playerPage);
    m_sheet.AddPage(&m_globPage);
    m_sheet.Create(this, WS_CHILD | WS_VISIBLE);
    m_sheet.SetActivePage(0);
    return TRUE;
}

void CMainDlg::OnSysCommand(unsigned id, intptr_t lParam) {
    if ((id & 0xFFF0) == res::IDM_ABOUTBOX) {
        CAboutDlg about;
        about.DoModal();
        return;
    }
    CDialog::OnSysCommand(id, lParam);
}

void CMainDlg::OnDestroy() {
    WinHelp(0, HELP_QUIT);
    DetachPages();
    DestroyDocument();
}

void CMainDlg::DetachPages() {
    m_globPage.Attach(nullptr);
    m_playerPage.Attach(nullptr);
}

void CMainDlg::DestroyDocument() { m_document.reset(); }

void CMainDlg::ShowError() {
    AfxMessageBox(Window(), m_document->GetErrorText(), messages::kErrorCaption,
                  MB_OK | MB_ICONEXCLAMATION);
}

void CMainDlg::LoadDocument() {
    m_document = std::make_unique<CSaveGame>();
    if (!m_document->Open(m_path) || !m_document->Load()) {
        ShowError();
        DestroyDocument();
        return;
    }
    m_globPage.Attach(m_document.get());
    m_playerPage.Attach(m_document.get());
    m_activeFileLabel.SetWindowTextPath(m_path);
    m_commitButton.EnableWindow(TRUE);
    m_sheet.SetActivePage(0);
}

void CMainDlg::OnOpenFile() {
    m_activeFileLabel.SetWindowText("");
    DetachPages();
    DestroyDocument();
    const std::optional<std::string> chosen =
        CurrentPrompts().OpenFile(nullptr, {"ess", kSaveFilter});
    if (!chosen) return;
    m_path = *chosen;
    LoadDocument();
}

PlayerRecord CMainDlg::RecordFromPlayerPage() const {
    // The page's controls for name, race, class, head and hair, in that order.
    constexpr int kControls[] = {IDC_PLAYER_NAME, IDC_PLAYER_RACE, IDC_PLAYER_CLASS,
                                 IDC_PLAYER_HEAD, IDC_PLAYER_HAIR};
    EditablePlayerTexts texts;
    for (size_t i = 0; i < texts.size(); ++i) {
        CWnd control;
        control.Attach(m_playerPage.GetDlgItem(kControls[i]));
        texts[i] = control.GetWindowText(int(limits::kTextBufferBytes));
    }
    return EditedPlayerRecord(m_document->Player(), texts);
}

void CMainDlg::OnCommitChanges() {
    if (!m_document) return;
    if (AfxMessageBox(Window(), messages::kConfirmWrite, messages::kConfirmCaption,
                      MB_YESNO | MB_ICONEXCLAMATION) == IDNO)
        return;
    if (HasBackup(m_path) &&
        AfxMessageBox(Window(), messages::kConfirmReplaceBackup, messages::kConfirmCaption,
                      MB_YESNO | MB_ICONEXCLAMATION) == IDNO)
        return;

    m_document->SetPlayerData(RecordFromPlayerPage());
    CWaitDlg wait;
    wait.Create(nullptr);
    const bool committed = m_document->Commit();
    wait.DestroyWindow();
    if (committed)
        AfxMessageBox(Window(), messages::kDone, messages::kDoneCaption,
                      MB_OK | MB_ICONINFORMATION);
    else
        ShowError();

    DetachPages();
    DestroyDocument();
    LoadDocument();
}

}  // namespace quellhart::ui
