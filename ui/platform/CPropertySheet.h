// A property sheet as a child window: its pages are tabs in the order they were
// added, each page built from its own template and told OnSetActive whenever it
// becomes the active page, also when the current page is selected again.
#pragma once

#include <QPointer>
#include <vector>

#include "CDialog.h"

class QTabWidget;

namespace quellhart::ui {

inline constexpr uint32_t WS_CHILD = 1u << 0;
inline constexpr uint32_t WS_VISIBLE = 1u << 1;
inline constexpr uint32_t WS_EX_CONTROLPARENT = 1u << 2;

class CPropertyPage : public CDialogBase {
public:
    explicit CPropertyPage(const DialogTemplate& dialogTemplate);

    // Builds the page's controls on `host`, then binds the members.
    void CreatePage(QWidget* host);
    virtual BOOL OnSetActive() { return TRUE; }
    // A page's window text is its template's caption: the sheet's tab text.
    std::string Caption() const { return Template().caption; }
};

class CPropertySheet : public CWnd {
public:
    CPropertySheet() = default;
    virtual ~CPropertySheet();

    void AddPage(CPropertyPage* page);
    BOOL Create(CDialog* parent, uint32_t style, uint32_t exStyle = 0);
    BOOL SetActivePage(int index);
    int GetActiveIndex() const;
    QTabWidget* Tabs() const;

    void ModifyStyleEx(uint32_t remove, uint32_t add) { exStyle_ = (exStyle_ & ~remove) | add; }
    uint32_t GetExStyle() const { return exStyle_; }

protected:
    virtual BOOL OnInitDialog() { return TRUE; }

private:
    std::vector<CPropertyPage*> pages_;
    uint32_t exStyle_ = 0;
};

}  // namespace quellhart::ui
