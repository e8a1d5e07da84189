// A property sheet as a child window: its pages are tabs in the order they were
// added, each page built from its own template and told OnSetActive whenever it
// becomes the active page, also when the current page is selected again.
#pragma once

#include <QPointer>
#include <vector>

#include "platform/CDialog.h"

class QTabWidget;

namespace quellhart::ui {

class CPropertyPage : public CDialogBase {
public:
    explicit CPropertyPage(const DialogTemplate& dialogTemplate);

    // Builds the page's controls on `host`, then binds the members.
    void CreatePage(QWidget* host);
    virtual BOOL OnSetActive() { return TRUE; }
};

class CPropertySheet : public CWnd {
public:
    CPropertySheet() = default;
    virtual ~CPropertySheet();

    void AddPage(CPropertyPage* page);
    BOOL Create(CDialog* parent, uint32_t style);
    BOOL SetActivePage(int index);
    int GetActiveIndex() const;
    QTabWidget* Tabs() const;

protected:
    virtual BOOL OnInitDialog() { return TRUE; }

private:
    std::vector<CPropertyPage*> pages_;
};

}  // namespace quellhart::ui
