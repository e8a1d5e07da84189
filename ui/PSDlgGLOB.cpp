#include "ui/PSDlgGLOB.h"

#include <utility>

#include "codepage/CodePage.h"
#include "res/ControlIds.h"
#include "res/DialogTemplates.h"
#include "res/EditorLimits.h"
#include "savefile/ValueText.h"
#include "ui/model/PageContents.h"

namespace quellhart::ui {

const MessageMap<CPSDlgGLOB> CPSDlgGLOB::kMessageMap = {
    {IDC_GLOB_LIST, CBN_SELCHANGE, &CPSDlgGLOB::OnSelchangeGlobList},
    {IDC_CONFIRM_CHANGE, BN_CLICKED, &CPSDlgGLOB::OnConfirmChange},
};

CPSDlgGLOB::CPSDlgGLOB() : CPropertyPage(res::GlobalsPageTemplate()) {}

void CPSDlgGLOB::DoDataExchange(CDataExchange* exchange) {
    DDX_Control(exchange, IDC_CONFIRM_CHANGE, m_confirmButton);
    DDX_Control(exchange, IDC_GLOB_VALUE_CAPTION, m_valueCaption);
    DDX_Control(exchange, IDC_GLOB_VALUE_RAW, m_rawValue);
    DDX_Control(exchange, IDC_GLOB_RAW_ADDRESS, m_rawAddress);
    DDX_Control(exchange, IDC_GLOB_VALUE_LEN, m_valueLength);
    DDX_Control(exchange, IDC_GLOB_FNAM_LEN, m_fnamLength);
    DDX_Control(exchange, IDC_GLOB_FNAM, m_fnam);
    DDX_Control(exchange, IDC_GLOB_NAME_LEN, m_nameLength);
    DDX_Control(exchange, IDC_GLOB_UNK1, m_header);
    DDX_Control(exchange, IDC_GLOB_COUNT, m_count);
    DDX_Control(exchange, IDC_GLOB_VALUE, m_value);
    DDX_Control(exchange, IDC_GLOB_NAME, m_name);
    DDX_Control(exchange, IDC_GLOB_LIST, m_list);
}

BOOL CPSDlgGLOB::OnCommand(int id, int code) {
    return DispatchCommand(kMessageMap, this, id, code) ? TRUE : CPropertyPage::OnCommand(id, code);
}

void CPSDlgGLOB::Attach(CSaveGame* document) {
    m_document = document;
    m_stale = true;
}

void CPSDlgGLOB::AttachKeepingChoice(CSaveGame* document, bool shown) {
    const int slot = SelectedSlot();
    m_keepChosen = slot >= 0 ? std::string(m_document->Glob(slot).NameText()) : std::string();
    Attach(document);
    if (shown) OnSetActive();
}

void CPSDlgGLOB::HexDump(std::string& text, const uint8_t* bytes, int count) {
    text = HexDumpText(bytes, count);
}

BOOL CPSDlgGLOB::OnSetActive() {
    const BOOL result = CPropertyPage::OnSetActive();
    if (!m_stale) return result;
    m_list.ResetContent();
    if (!m_document) {
        m_list.EnableWindow(FALSE);
        const std::initializer_list<CWnd*> fields = {
            &m_header,      &m_nameLength, &m_name,     &m_fnamLength, &m_fnam,
            &m_valueLength, &m_value,      &m_rawValue, &m_count,      &m_rawAddress};
        for (CWnd* field : fields) field->SetWindowText("");
    } else {
        FillGlobList(m_list, *m_document);
        if (!m_keepChosen.empty()) SelectEntryNamed(m_list, std::exchange(m_keepChosen, {}));
        m_count.SetWindowText(std::to_string(m_document->GlobCount()));
        m_list.EnableWindow(TRUE);
        ShowSelectedGlob();
    }
    m_stale = false;
    return result;
}

int CPSDlgGLOB::SelectedSlot() const { return SelectedGlobSlot(m_list, m_document); }

void CPSDlgGLOB::ShowSelectedGlob() {
    const int slot = SelectedSlot();
    if (slot < 0) return;
    m_confirmButton.EnableWindow(TRUE);
    for (const FieldText& field : GlobFieldTexts(m_document->Glob(slot))) {
        CWnd control;
        control.Attach(GetDlgItem(field.id));
        control.SetWindowText(field.text);
    }
    DescribeSelectionForScreenReaders();
}

// A variable chosen by the user, with the mouse or the arrow keys: its name and value
// are said, as the list's own events do not say them to every screen reader.
void CPSDlgGLOB::OnSelchangeGlobList() {
    ShowSelectedGlob();
    if (SelectedSlot() < 0) return;
    m_list.Announce(SaveTextCodePage().Decode(m_document->Glob(SelectedSlot()).NameText()) + ". " +
                    CaptionAndValue(IDC_GLOB_VALUE));
}

// "Caption: value" of a field of the page, as shown, in UTF-8.
std::string CPSDlgGLOB::CaptionAndValue(int id) {
    CWnd field;
    field.Attach(GetDlgItem(id));
    std::string caption = res::CaptionOf(res::GlobalsPageTemplate(), id);
    if (!caption.empty() && caption.back() == ':') caption.pop_back();
    std::string value = field.GetWindowText(int(limits::kTextBufferBytes));
    while (!value.empty() && value.back() == ' ') value.pop_back();
    return caption + ": " + value;
}

// The read-only fields have no Tab stop, and a screen reader's review of the screen
// may not find this page's contents (Qt never tells it that the page became
// visible); so the list, which the keyboard reaches, carries after its own caption
// the count of variables and every stored field of the chosen one, caption and
// value, as its description.
void CPSDlgGLOB::DescribeSelectionForScreenReaders() {
    std::string description = res::CaptionOf(res::GlobalsPageTemplate(), IDC_GLOB_LIST);
    for (int id :
         {IDC_GLOB_COUNT, IDC_GLOB_RAW_ADDRESS, IDC_GLOB_UNK1, IDC_GLOB_NAME_LEN, IDC_GLOB_NAME,
          IDC_GLOB_FNAM_LEN, IDC_GLOB_FNAM, IDC_GLOB_VALUE_LEN, IDC_GLOB_VALUE_RAW, IDC_GLOB_VALUE})
        description.append(". ").append(CaptionAndValue(id));
    m_list.SetAccessibleDescription(description);
}

void CPSDlgGLOB::OnConfirmChange() {
    const int slot = SelectedSlot();
    if (slot < 0) return;
    m_document->SetGlobValue(
        slot, GlobValueFromText(m_value.GetWindowText(int(limits::kTextBufferBytes))));
    ShowSelectedGlob();
    // The keyboard goes to the value as stored, selected, so that the next value typed
    // replaces it; the value as stored is said with its caption (a text read as 0 is
    // heard as 0), also where the keyboard was on the field already.
    m_value.SetFocus();
    m_value.SetSel(0, -1);
    m_value.Announce(CaptionAndValue(IDC_GLOB_VALUE));
}

}  // namespace quellhart::ui
