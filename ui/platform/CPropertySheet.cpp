#include "platform/CPropertySheet.h"

#include <QDialog>
#include <QSignalBlocker>
#include <QTabBar>
#include <QTabWidget>

#include "platform/DialogUnits.h"
#include "platform/SaveText.h"

namespace quellhart::ui {

CPropertyPage::CPropertyPage(const DialogTemplate& dialogTemplate) : CDialogBase(dialogTemplate) {}

void CPropertyPage::CreatePage(QWidget* host) {
    Attach(host);
    BuildControls(host);
    UpdateData(FALSE);
}

CPropertySheet::~CPropertySheet() = default;

QTabWidget* CPropertySheet::Tabs() const { return qobject_cast<QTabWidget*>(widget_.data()); }

void CPropertySheet::AddPage(CPropertyPage* page) { pages_.push_back(page); }

BOOL CPropertySheet::Create(CDialog* parent, uint32_t style) {
    auto* tabs = new QTabWidget(parent->Window());
    Attach(tabs);
    tabs->setFont(DialogFont());
    const DialogUnits units(tabs->font());
    QSize pageSize;
    for (CPropertyPage* page : pages_) {
        auto* host = new QWidget;
        const DialogTemplate& t = page->Template();
        host->setFixedSize(units.X(t.width), units.Y(t.height));
        tabs->addTab(host, FromSaveText(t.caption));
        host->setAccessibleName(FromSaveText(t.caption));
        page->CreatePage(host);
        pageSize = pageSize.expandedTo(host->size());
    }
    // The sheet's size follows from its pages and its tab strip.
    tabs->move(0, 0);
    tabs->resize(
        tabs->sizeHint().expandedTo(pageSize + QSize(4, tabs->tabBar()->sizeHint().height() + 4)));
    QObject::connect(tabs, &QTabWidget::currentChanged, [this](int index) {
        if (index >= 0) pages_[size_t(index)]->OnSetActive();
    });
    OnInitDialog();
    tabs->setVisible(style & WS_VISIBLE);
    return TRUE;
}

BOOL CPropertySheet::SetActivePage(int index) {
    QTabWidget* tabs = Tabs();
    if (!tabs || index < 0 || index >= int(pages_.size())) return FALSE;
    {
        const QSignalBlocker quiet(tabs);
        tabs->setCurrentIndex(index);
    }
    pages_[size_t(index)]->OnSetActive();
    return TRUE;
}

int CPropertySheet::GetActiveIndex() const { return Tabs() ? Tabs()->currentIndex() : -1; }

}  // namespace quellhart::ui
