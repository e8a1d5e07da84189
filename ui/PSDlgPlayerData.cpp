#include "ui/PSDlgPlayerData.h"

#include "res/ControlIds.h"
#include "res/DialogTemplates.h"
#include "res/EditorLimits.h"
#include "res/Messages.h"
#include "savefile/ValueText.h"
#include "ui/model/PageContents.h"
#include "ui/platform/Prompts.h"

namespace quellhart::ui {

CPSDlgPlayerData::CPSDlgPlayerData() : CPropertyPage(res::PlayerPageTemplate()) {}

void CPSDlgPlayerData::DoDataExchange(CDataExchange* exchange) {
    DDX_Control(exchange, IDC_PLAYER_HEAD, m_headModel);
    DDX_Control(exchange, IDC_PLAYER_HAIR, m_hairModel);
    DDX_Control(exchange, IDC_PLAYER_RACE, m_raceList);
    DDX_Control(exchange, IDC_PLAYER_CLASS, m_classList);
    DDX_Control(exchange, IDC_PLAYER_RAW_ADDRESS, m_rawAddress);
    DDX_Control(exchange, IDC_PLAYER_NAME, m_name);
}

void CPSDlgPlayerData::Attach(CSaveGame* document) {
    m_document = document;
    m_stale = true;
    m_shownAtFill.reset();
}

BOOL CPSDlgPlayerData::OnSetActive() {
    const BOOL result = CPropertyPage::OnSetActive();
    if (m_stale) FillNow(false);  // otherwise keeps the user's uncommitted typing
    return result;
}

EditablePlayerTexts CPSDlgPlayerData::ShownTexts() const {
    constexpr int kWholeText = 1 << 16;  // a stored text longer than the field shows whole
    EditablePlayerTexts texts;
    for (size_t i = 0; i < texts.size(); ++i) {
        CWnd control;
        control.Attach(GetDlgItem(kPlayerTextControls[i]));
        texts[i] = control.GetWindowText(kWholeText);
    }
    return texts;
}

void CPSDlgPlayerData::FillNow(bool quietly) {
    // The save stores at most 49 bytes of each text: the fields take no more.
    for (CWnd* field : Fields()) field->LimitText(int(limits::kPlayerTextBytes));
    const bool undefinedClass = m_document && ShowDocument();
    if (m_document)
        m_shownAtFill = ShownTexts();
    else
        ShowNoDocument();
    m_stale = false;
    // Last: while the box is open, the game may save and the window load its save,
    // which takes this document away.
    if (undefinedClass && !quietly)
        AfxMessageBox(GetSafeHwnd(), messages::kChargenWarning, messages::kWarningCaption,
                      MB_OK | MB_ICONEXCLAMATION);
}

std::array<CWnd*, 5> CPSDlgPlayerData::Fields() {
    return {&m_name, &m_raceList, &m_classList, &m_headModel, &m_hairModel};
}

// With no save, no field takes typing: there would be nothing to keep it.
void CPSDlgPlayerData::EnableFields(BOOL enable) {
    for (CWnd* field : Fields()) field->EnableWindow(enable);
}

void CPSDlgPlayerData::ShowNoDocument() {
    m_rawAddress.SetWindowText(" ");
    m_name.SetWindowText(" ");
    m_hairModel.SetWindowText(" ");
    m_headModel.SetWindowText(" ");
    EnableFields(FALSE);
}

bool CPSDlgPlayerData::ShowDocument() {
    const PlayerRecord& player = m_document->Player();
    m_rawAddress.SetWindowText(FormatHexOffset(m_document->PlayerRawAddress()));
    m_name.SetWindowText(player[PlayerRecord::FNAM].Text());
    EnableFields(TRUE);

    const bool undefinedClass = ShowPlayerLists(m_raceList, m_classList, *m_document);
    m_hairModel.SetWindowText(player[PlayerRecord::KNAM].Text());
    m_headModel.SetWindowText(player[PlayerRecord::BNAM].Text());
    return undefinedClass;
}

}  // namespace quellhart::ui
