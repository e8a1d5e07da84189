#include "ui/VersionsDlg.h"

#include "res/ControlIds.h"
#include "res/DialogTemplates.h"
#include "res/Messages.h"

namespace quellhart::ui {

const MessageMap<CVersionsDlg> CVersionsDlg::kMessageMap = {
    {IDC_VERSION_LIST, CBN_SELCHANGE, &CVersionsDlg::OnSelchangeVersionList},
    {IDC_VERSION_RESTORE, BN_CLICKED, &CVersionsDlg::OnRestore},
};

CVersionsDlg::CVersionsDlg(WindowHandle parent, const std::string& savePath, FileSystem& files)
    : CDialog(res::VersionsTemplate(), parent), m_versions(ListVersionsOf(files, savePath)) {}

void CVersionsDlg::DoDataExchange(CDataExchange* exchange) {
    DDX_Control(exchange, IDC_VERSION_LIST, m_list);
    DDX_Control(exchange, IDC_VERSION_CHANGES, m_changes);
    DDX_Control(exchange, IDC_VERSION_RESTORE, m_restore);
}

BOOL CVersionsDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    // Over the help window it was asked from, not where its template would put it.
    CenterWindow();
    // The list is not sorted: its entries stand in the versions' order.
    for (const VersionListEntry& version : m_versions.entries) m_list.AddString(version.entry);
    if (m_versions.entries.empty()) {
        m_list.EnableWindow(FALSE);
        m_changes.SetWindowText(m_versions.problem.empty() ? messages::kNoVersions
                                                           : m_versions.problem);
        return TRUE;
    }
    // The newest first in view: the one a player most often wants back.
    m_list.SetCurSel(m_list.GetCount() - 1);
    ShowChosen(false);
    // The one chosen is said with its changes once the window has settled: the list's
    // own events say its entry alone.
    if (const VersionListEntry* chosen = ChosenEntry())
        m_list.Announce(chosen->entry + ". " + chosen->changes, AnnounceWhen::kOnceSettled);
    m_list.SetFocus();
    return FALSE;  // the keyboard is on the list
}

BOOL CVersionsDlg::OnCommand(int id, int code) {
    return DispatchCommand(kMessageMap, this, id, code) ? TRUE : CDialog::OnCommand(id, code);
}

const VersionListEntry* CVersionsDlg::ChosenEntry() const {
    const int index = m_list.GetCurSel();
    return index >= 0 && size_t(index) < m_versions.entries.size()
               ? &m_versions.entries[size_t(index)]
               : nullptr;
}

void CVersionsDlg::ShowChosen(bool announce) {
    const VersionListEntry* chosen = ChosenEntry();
    if (!chosen) return;
    m_changes.SetWindowText(chosen->changes);
    m_restore.EnableWindow(TRUE);
    if (announce) m_list.Announce(chosen->entry + ". " + chosen->changes);
}

void CVersionsDlg::OnSelchangeVersionList() { ShowChosen(true); }

void CVersionsDlg::OnRestore() {
    const VersionListEntry* chosen = ChosenEntry();
    if (!chosen) return;
    m_chosen = chosen->version;
    EndDialog(IDOK);
}

}  // namespace quellhart::ui
