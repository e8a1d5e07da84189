// The "Player Data" page: where the player's record lies, and the five texts the
// user may change. The page never writes into the document; at commit the main
// window reads the texts from its controls.
#pragma once

#include <array>
#include <optional>

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
    // Fills the page from the document now, shown or not; `quietly`: without the
    // warning box about the class (the save was loaded again while the player plays).
    void FillNow(bool quietly);
    // The texts the fields showed when the page was last filled from the document, in
    // kEditablePlayerFields order; none while it has not been since Attach. A field that
    // shows anything else holds the user's typing.
    const std::optional<EditablePlayerTexts>& ShownAtFill() const { return m_shownAtFill; }
    // Takes `texts` as what the fields showed at the fill: after edits were carried to
    // a newer save, its own texts, so that the carried ones still count as typed.
    void TakeAsShownAtFill(const EditablePlayerTexts& texts) { m_shownAtFill = texts; }
    // What the fields hold now, in kEditablePlayerFields order.
    EditablePlayerTexts ShownTexts() const;

protected:
    void DoDataExchange(CDataExchange* exchange) override;

private:
    // The five texts' controls, each a field the user types into or chooses from.
    std::array<CWnd*, 5> Fields();
    void EnableFields(BOOL enable);
    void ShowNoDocument();
    // Fills the fields from the document; whether its class is an undefined chargen
    // class, of which the user is to be warned.
    bool ShowDocument();

    CEdit m_headModel;
    CEdit m_hairModel;
    CComboBox m_raceList;
    CComboBox m_classList;
    CStatic m_rawAddress;
    CEdit m_name;
    CSaveGame* m_document = nullptr;
    bool m_stale = false;
    std::optional<EditablePlayerTexts> m_shownAtFill;
};

}  // namespace quellhart::ui
