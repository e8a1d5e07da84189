// The "Global Variables" page: every global variable in a sorted list, all of the
// chosen one's stored fields, and a new value confirmed into the document at once.
#pragma once

#include <string>

#include "savefile/SaveGame.h"
#include "ui/platform/CComboBox.h"
#include "ui/platform/CPropertySheet.h"
#include "ui/platform/MessageMap.h"

namespace quellhart::ui {

class CPSDlgGLOB : public CPropertyPage {
public:
    CPSDlgGLOB();

    void Attach(CSaveGame* document);
    // The same, keeping the variable chosen now (by its name) chosen in the new
    // document where it has one; filled at once when `shown`.
    void AttachKeepingChoice(CSaveGame* document, bool shown);
    BOOL OnSetActive() override;
    BOOL OnCommand(int id, int code) override;

    void ShowSelectedGlob();
    void OnSelchangeGlobList();
    void OnConfirmChange();

    // Renders `count` bytes as "%.2X " each into `text`, replacing what it held.
    static void HexDump(std::string& text, const uint8_t* bytes, int count);

protected:
    void DoDataExchange(CDataExchange* exchange) override;

private:
    void DescribeSelectionForScreenReaders();
    std::string CaptionAndValue(int id);
    // The slot the selected list entry stands for, or -1.
    int SelectedSlot() const;

    CButton m_confirmButton;
    CStatic m_valueCaption;
    CEdit m_rawValue;
    CStatic m_rawAddress;
    CEdit m_valueLength;
    CEdit m_fnamLength;
    CEdit m_fnam;
    CEdit m_nameLength;
    CEdit m_header;
    CStatic m_count;
    CEdit m_value;
    CEdit m_name;
    CComboBox m_list;
    bool m_stale = true;
    std::string m_keepChosen;  // the name to choose at the next fill
    CSaveGame* m_document = nullptr;

    static const MessageMap<CPSDlgGLOB> kMessageMap;
};

}  // namespace quellhart::ui
