#include "ui/VersionsDlg.h"

#include "res/ControlIds.h"
#include "res/DialogTemplates.h"
#include "res/Messages.h"

namespace quellhart::ui {

const MessageMap<CVersionsDlg> CVersionsDlg::kMessageMap = {
    {IDC_VERSION_LIST, CBN_SELCHANGE, &CVersionsDlg::OnSelchangeVersionList},
    {IDC_VERSION_RESTORE, BN_CLICKED, &CVersionsDlg::OnRestore},
};

CVersionsDlg::CVersionsDlg(WindowHandle parent, const std::string& savePath)
    : CDialog(res::VersionsTemplate(), parent),
      m_versions(ListVersionsOf(SystemFileSystem(), savePath)) {}

void CVersionsDlg::DoDataExchange(CDataExchange* exchange) {
    DDX_Control(exchange, IDC_VERSION_LIST, m_list);
    DDX_Control(exchange, IDC_VERSION_CHANGES, m_changes);
    DDX_Control(exchange, IDC_VERSION_RESTORE, m_restore);
}

BOOL CVersionsDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    for (size_t i = 0; i < m_versions.entries.size(); ++i) {
        const int at = m_list.AddString(m_versions.entries[i].entry);
        m_list.SetItemData(at, intptr_t(i));
    }
    if (m_versions.entries.empty()) {
        m_list.EnableWindow(FALSE);
        m_changes.SetWindowText(m_versions.problem.empty() ? messages::kNoVersions
                                                           : m_versions.problem);
        return TRUE;
    }
    // The newest first in view: the one a player most often wants back.
    m_list.SetCurSel(m_list.GetCount() - 1);
    ShowChosen(false);
    m_list.SetFocus();
    return FALSE;  // the keyboard is on the list
}

BOOL CVersionsDlg::OnCommand(int id, int code) {
    return DispatchCommand(kMessageMap, this, id, code) ? TRUE : CDialog::OnCommand(id, code);
}

void CVersionsDlg::ShowChosen(bool announce) {
    const intptr_t index = m_list.GetItemData(m_list.GetCurSel());
    if (index < 0 || size_t(index) >= m_versions.entries.size()) return;
    const VersionListEntry& chosen = m_versions.entries[size_t(index)];
    m_changes.SetWindowText(chosen.changes);
    m_restore.EnableWindow(TRUE);
    if (announce) m_list.Announce(chosen.entry + ". " + chosen.changes);
}

void CVersionsDlg::OnSelchangeVersionList() { ShowChosen(true); }

void CVersionsDlg::OnRestore() {
    const intptr_t index = m_list.GetItemData(m_list.GetCurSel());
    if (index < 0 || size_t(index) >= m_versions.entries.size()) return;
    m_chosen = m_versions.entries[size_t(index)].version;
    EndDialog(IDOK);
}

}  // namespace quellhart::ui
