#include <QDialog>
#include <QShortcut>
#include <QSignalBlocker>
#include <QTabBar>
#include <QTabWidget>

#include "ui/platform/CPropertySheet.h"
#include "ui/platform/qt/ControlFactory.h"
#include "ui/platform/qt/DialogUnits.h"
#include "ui/platform/qt/QtWindows.h"
#include "ui/platform/qt/SaveText.h"

namespace quellhart::ui {

struct NativeSheet {};

namespace {

// The keyboard follows the page, as in the Windows editor: where it was on a page
// (the one now hidden), it goes to the first tab stop of the page shown, as Tab would
// put it there, or to the tabs when that page has none. On the tabs it stays, as the
// arrow keys there turn the pages.
void BringKeyboardTo(QTabWidget* tabs) {
    QWidget* focus = tabs->window()->focusWidget();
    QWidget* page = tabs->currentWidget();
    if (!focus || !page || !tabs->isAncestorOf(focus) || focus == tabs->tabBar()) return;
    for (QWidget* w = page->nextInFocusChain(); w != page; w = w->nextInFocusChain()) {
        if (page->isAncestorOf(w) && w->isEnabled() && w->isVisibleTo(page) &&
            (w->focusPolicy() & Qt::TabFocus) == Qt::TabFocus) {
            w->setFocus(Qt::TabFocusReason);
            return;
        }
    }
    tabs->tabBar()->setFocus(Qt::TabFocusReason);
}

}  // namespace

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
    // Ctrl+Page Down and Up turn the pages too, as in the system's property sheets on
    // Windows (Qt's tab widget knows Ctrl+Tab only).
    for (const auto& [keys, step] :
         {std::pair{Qt::CTRL | Qt::Key_PageDown, 1}, std::pair{Qt::CTRL | Qt::Key_PageUp, -1}}) {
        auto* shortcut = new QShortcut(QKeySequence(keys), tabs);
        shortcut->setContext(Qt::WidgetWithChildrenShortcut);
        QObject::connect(shortcut, &QShortcut::activated, tabs, [tabs, step = step] {
            tabs->setCurrentIndex((tabs->currentIndex() + step + tabs->count()) % tabs->count());
        });
    }
    QObject::connect(tabs, &QTabWidget::currentChanged, [this, tabs](int index) {
        BringKeyboardTo(tabs);
        PageActivated(index);
    });
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
    BringKeyboardTo(tabs);
    PageActivated(index);
    return TRUE;
}

int CPropertySheet::GetActiveIndex() const {
    const auto* tabs = ToWidget<QTabWidget>(hwnd_);
    return tabs ? tabs->currentIndex() : -1;
}

}  // namespace quellhart::ui
