#include <QAccessible>
#include <QAccessibleWidget>
#include <QComboBox>
#include <QDialog>
#include <QLineEdit>
#include <QShortcut>
#include <QSignalBlocker>
#include <QStackedWidget>
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
// (the one now hidden), or anywhere in the window when a page key turned the page, it
// goes to the first tab stop of the page shown, as Tab would put it there (an edit
// field's text selected), or to the tabs when that page has none. It moves only once
// the page has been filled: a list the fill enables is that first tab stop, and a text
// the fill sets would clear the selection. On the tabs it stays, as the arrow keys
// there turn the pages.
void BringKeyboardTo(QTabWidget* tabs, bool fromAnywhere) {
    QWidget* focus = tabs->window()->focusWidget();
    QWidget* page = tabs->currentWidget();
    if (!focus || !page || focus == tabs->tabBar()) return;
    if (!fromAnywhere && !tabs->isAncestorOf(focus)) return;
    for (QWidget* w = page->nextInFocusChain(); w != page; w = w->nextInFocusChain()) {
        if (page->isAncestorOf(w) && w->isEnabled() && w->isVisibleTo(page) &&
            (w->focusPolicy() & Qt::TabFocus) == Qt::TabFocus) {
            w->setFocus(Qt::TabFocusReason);
            // Already there (the tab widget moves the keyboard to the page before it is
            // filled), the field hears no new focus and would keep its caret.
            auto* edit = qobject_cast<QLineEdit*>(w);
            if (auto* combo = qobject_cast<QComboBox*>(w)) edit = combo->lineEdit();
            if (edit) edit->selectAll();
            return;
        }
    }
    tabs->tabBar()->setFocus(Qt::TabFocusReason);
}

// The tab widget's stack of pages, which Qt describes as a layered pane: a screen
// reader says so on every way into a page. It is only the pages' frame, and is
// described as that (as the page's area of a window is): the pages speak for themselves.
QAccessibleInterface* PageStackFor(const QString&, QObject* object) {
    auto* stack = qobject_cast<QStackedWidget*>(object);
    if (!stack || !qobject_cast<QTabWidget*>(stack->parentWidget())) return nullptr;
    return new QAccessibleWidget(stack, QAccessible::Client);
}

}  // namespace

CPropertyPage::~CPropertyPage() = default;

CPropertySheet::CPropertySheet() = default;
CPropertySheet::~CPropertySheet() = default;

BOOL CPropertySheet::Create(CDialog* parent, uint32_t style) {
    static const bool describedPageStacks = [] {
        QAccessible::installFactory(PageStackFor);
        return true;
    }();
    (void)describedPageStacks;
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
    // The page keys turn the pages wherever the keyboard is in the window, the main
    // window's buttons included, and take the keyboard to the page: Ctrl+Tab and
    // Ctrl+Shift+Tab, and Ctrl+Page Down and Up as in the system's property sheets on
    // Windows (Qt's tab widget knows Ctrl+Tab only, and only from within).
    const std::pair<QKeyCombination, int> pageKeys[] = {
        {Qt::CTRL | Qt::Key_Tab, 1},
        {Qt::CTRL | Qt::SHIFT | Qt::Key_Tab, -1},
        {Qt::CTRL | Qt::SHIFT | Qt::Key_Backtab, -1},
        {Qt::CTRL | Qt::Key_PageDown, 1},
        {Qt::CTRL | Qt::Key_PageUp, -1}};
    for (const auto& [keys, step] : pageKeys) {
        auto* shortcut = new QShortcut(QKeySequence(keys), tabs);
        shortcut->setContext(Qt::WindowShortcut);
        QObject::connect(shortcut, &QShortcut::activated, tabs, [tabs, step = step] {
            tabs->setCurrentIndex((tabs->currentIndex() + step + tabs->count()) % tabs->count());
            BringKeyboardTo(tabs, true);
        });
    }
    QObject::connect(tabs, &QTabWidget::currentChanged, [this, tabs](int index) {
        PageActivated(index);
        BringKeyboardTo(tabs, false);
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
    PageActivated(index);
    BringKeyboardTo(tabs, false);
    return TRUE;
}

int CPropertySheet::GetActiveIndex() const {
    const auto* tabs = ToWidget<QTabWidget>(hwnd_);
    return tabs ? tabs->currentIndex() : -1;
}

}  // namespace quellhart::ui
