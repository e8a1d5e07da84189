// What the main window holds, for the tests to look at: its document and its pages.
#pragma once

#include "ui/MainDlg.h"

namespace quellhart::test {

class MainDlgProbe {
public:
    explicit MainDlgProbe(ui::CMainDlg& main) : main_(main) {}
    CSaveGame* Document() const { return main_.m_document.get(); }
    ui::CMyPSheet& Sheet() const { return main_.m_sheet; }
    ui::CPSDlgGLOB& GlobPage() const { return main_.m_globPage; }
    ui::CPSDlgPlayerData& PlayerPage() const { return main_.m_playerPage; }
    // The versions window, while it is open.
    ui::CVersionsDlg* Versions() const { return main_.m_versions; }

private:
    ui::CMainDlg& main_;
};

inline MainDlgProbe Held(ui::CMainDlg& main) { return MainDlgProbe(main); }

}  // namespace quellhart::test
