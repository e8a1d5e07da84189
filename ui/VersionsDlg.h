// The save's earlier versions, from the help window: a list of them, oldest first and
// the backup last, with what changed from the chosen one to the next beneath it.
// "Restore" ends the window with the chosen version, which the main window then puts
// back after its question; "Close" and Escape end it with none.
#pragma once

#include <optional>
#include <string>

#include "ui/model/VersionList.h"
#include "ui/platform/CComboBox.h"
#include "ui/platform/CDialog.h"
#include "ui/platform/MessageMap.h"

namespace quellhart::ui {

class CVersionsDlg : public CDialog {
public:
    CVersionsDlg(WindowHandle parent, const std::string& savePath, FileSystem& files);

    BOOL OnInitDialog() override;
    BOOL OnCommand(int id, int code) override;

    // The version "Restore" ended the window with, if it did.
    const std::optional<SaveVersion>& Chosen() const { return m_chosen; }

protected:
    void DoDataExchange(CDataExchange* exchange) override;

private:
    static const MessageMap<CVersionsDlg> kMessageMap;

    void OnSelchangeVersionList();
    void OnRestore();
    // The entry chosen in the list, if any.
    const VersionListEntry* ChosenEntry() const;
    // Shows what changed after the chosen version, and says it to a screen reader
    // when the user chose it.
    void ShowChosen(bool announce);

    CComboBox m_list;
    CStatic m_changes;
    CButton m_restore;
    VersionList m_versions;
    std::optional<SaveVersion> m_chosen;
};

}  // namespace quellhart::ui
