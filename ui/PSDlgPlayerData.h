// The "Player Data" page: where the player's record lies, and the five texts the
// user may change. The page never writes into the document; at commit the main
// window reads the texts from its controls.
#pragma once

#include "savefile/SaveGame.h"
#include "ui/platform/CComboBox.h"
#include "ui/platform/CPropertySheet.h"

namespace quellhart::ui {

class CPSDlgPlayerData : public CPropertyPage {
public:
    CPSDlgPlayerData();

    // Stores the document (or none) and marks the page stale: it refills the next
    // time the sheet activates it.
    void Attach(CSaveGame* document);
    BOOL OnSetActive() override;

protected:
    void DoDataExchange(CDataExchange* exchange) override;

private:
    void ShowNoDocument();
    void ShowDocument();

    CEdit m_headModel;
    CEdit m_hairModel;
    CComboBox m_raceList;
    CComboBox m_classList;
    CStatic m_rawAddress;
    CEdit m_name;
    CSaveGame* m_document = nullptr;
    bool m_stale = false;
};

}  // namespace quellhart::ui
