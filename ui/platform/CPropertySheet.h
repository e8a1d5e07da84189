// A property sheet as a child window: its pages are tabs in the order they were
// added, each page built from its own template and told OnSetActive whenever it
// becomes the active page, also when the current page is selected again.
#pragma once

#include <memory>
#include <vector>

#include "ui/platform/CDialog.h"

namespace quellhart::ui {

struct NativeSheet;

class CPropertyPage : public CDialogBase {
public:
    explicit CPropertyPage(const DialogTemplate& dialogTemplate);
    ~CPropertyPage() override;
    virtual BOOL OnSetActive() { return TRUE; }
};

class CPropertySheet : public CWnd {
public:
    CPropertySheet();
    virtual ~CPropertySheet();

    void AddPage(CPropertyPage* page);
    BOOL Create(CDialog* parent, uint32_t style);
    BOOL SetActivePage(int index);
    int GetActiveIndex() const;
    int GetPageCount() const { return int(pages_.size()); }
    // The toolkit's side: the page the user or the program made current.
    void PageActivated(int index);
    NativeSheet* Native() const { return native_.get(); }

protected:
    virtual BOOL OnInitDialog() { return TRUE; }

private:
    std::vector<CPropertyPage*> pages_;
    std::unique_ptr<NativeSheet> native_;
};

}  // namespace quellhart::ui
