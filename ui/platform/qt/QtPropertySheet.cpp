#include <QDialog>
#include <QSignalBlocker>
#include <QTabBar>
#include <QTabWidget>

#include "platform/CPropertySheet.h"
#include "platform/qt/ControlFactory.h"
#include "platform/qt/DialogUnits.h"
#include "platform/qt/QtWindows.h"
#include "platform/qt/SaveText.h"

namespace quellhart::ui {

struct NativeSheet {};

CPropertyPage::~CPropertyPage() = default;

CPropertySheet::CPropertySheet() = default;
CPropertySheet::~CPropertySheet() = default;

BOOL CPropertySheet::Create(CDialog* parent, uint32_t style) {
    auto* tabs = new QTabWidget(ToWidget(parent->Window()));
    Attach(HandleOf(tabs));
    tabs->setFont(DialogFont());
    const DialogUnits units(tabs->font());
    QSize pageSize;
    for (CPropertyPage* page : pages_) {
        auto* host = new QWidget;
        const DialogTemplate& t = page->Template();
        host->setFixedSize(units.X(t.width), units.Y(t.height));
        tabs->addTab(host, FromSaveText(t.caption));
        host->setAccessibleName(FromSaveText(t.caption));
        page->Attach(HandleOf(host));
        BuildControls(*page, host);
        page->UpdateData(FALSE);
        pageSize = pageSize.expandedTo(host->size());
    }
    // The sheet's size follows from its pages and its tab strip.
    tabs->move(0, 0);
    tabs->resize(
        tabs->sizeHint().expandedTo(pageSize + QSize(4, tabs->tabBar()->sizeHint().height() + 4)));
    QObject::connect(tabs, &QTabWidget::currentChanged,
                     [this](int index) { PageActivated(index); });
    OnInitDialog();
    tabs->setVisible(style & WS_VISIBLE);
    return TRUE;
}

BOOL CPropertySheet::SetActivePage(int index) {
    auto* tabs = ToWidget<QTabWidget>(hwnd_);
    if (!tabs || index < 0 || index >= GetPageCount()) return FALSE;
    {
        const QSignalBlocker quiet(tabs);
        tabs->setCurrentIndex(index);
    }
    PageActivated(index);
    return TRUE;
}

int CPropertySheet::GetActiveIndex() const {
    const auto* tabs = ToWidget<QTabWidget>(hwnd_);
    return tabs ? tabs->currentIndex() : -1;
}

}  // namespace quellhart::ui
