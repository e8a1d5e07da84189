// The window driver on Qt: mouse and keys through QTest, on the real widgets.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>
#include <QTimer>
#include <map>

#include "tests/ui/WindowDriver.h"
#include "ui/platform/qt/QtWindows.h"
#include "ui/platform/qt/SaveText.h"
#include "ui/platform/qt/SystemMenu.h"

namespace quellhart::test {

void Click(ui::CDialogBase& window, int id) {
    auto* button = ui::ToWidget<QAbstractButton>(window.GetDlgItem(id));
    ASSERT_NE(button, nullptr) << id;
    ASSERT_TRUE(button->isEnabled()) << button->text().toStdString();
    ASSERT_TRUE(button->isVisibleTo(button->window())) << button->text().toStdString();
    QTest::mouseClick(button, Qt::LeftButton);
}

void Type(ui::CDialogBase& window, int id, const std::string& text) {
    QWidget* field = ui::ToWidget(window.GetDlgItem(id));
    ASSERT_NE(field, nullptr) << id;
    ASSERT_TRUE(field->isEnabled()) << id;
    QWidget* input = field;
    if (auto* combo = qobject_cast<QComboBox*>(field); combo && combo->lineEdit())
        input = combo->lineEdit();
    input->setFocus(Qt::MouseFocusReason);                   // typing goes where the keyboard is
    QTest::keyClick(input, Qt::Key_A, Qt::ControlModifier);  // select what is there
    QTest::keyClick(input, Qt::Key_Delete);
    // A key of its own for a character beyond ASCII, as a keyboard layout has it.
    for (const QChar c : QString::fromStdString(text))
        if (c.unicode() < 0x80)
            QTest::keyClick(input, c.toLatin1());
        else
            QTest::sendKeyEvent(QTest::Click, input, Qt::Key_unknown, QString(c), {});
}

void Focus(ui::CDialogBase& window, int id) {
    QWidget* control = ui::ToWidget(window.GetDlgItem(id));
    ASSERT_NE(control, nullptr) << id;
    ASSERT_TRUE(control->isEnabled()) << id;
    control->setFocus(Qt::MouseFocusReason);
}

namespace {

// Where keys go in the window, made the active one as a user's keys need it: its
// focused widget, else the window.
QWidget* KeyboardOf(ui::CDialog& window) {
    QWidget* top = ui::ToWidget(window.Window());
    if (!top) return nullptr;
    if (!top->isActiveWindow()) {
        top->activateWindow();
        if (!QTest::qWaitForWindowActive(top)) return nullptr;
    }
    return top->focusWidget() ? top->focusWidget() : top;
}

}  // namespace

void Press(ui::CDialog& window, Key key) {
    struct Stroke {
        Qt::Key key;
        Qt::KeyboardModifiers modifiers;
    };
    static const std::map<Key, Stroke> kStrokes = {
        {Key::Enter, {Qt::Key_Return, Qt::NoModifier}},
        {Key::Tab, {Qt::Key_Tab, Qt::NoModifier}},
        {Key::ShiftTab, {Qt::Key_Backtab, Qt::ShiftModifier}},
        {Key::CtrlTab, {Qt::Key_Tab, Qt::ControlModifier}},
        {Key::CtrlShiftTab, {Qt::Key_Backtab, Qt::ControlModifier | Qt::ShiftModifier}},
        {Key::CtrlPageDown, {Qt::Key_PageDown, Qt::ControlModifier}},
        {Key::CtrlPageUp, {Qt::Key_PageUp, Qt::ControlModifier}},
        {Key::Right, {Qt::Key_Right, Qt::NoModifier}},
        {Key::Left, {Qt::Key_Left, Qt::NoModifier}},
    };
    QWidget* target = KeyboardOf(window);
    ASSERT_NE(target, nullptr);
    QTest::keyClick(target, kStrokes.at(key).key, kStrokes.at(key).modifiers);
}

void TypeHere(ui::CDialog& window, const std::string& text) {
    QWidget* target = KeyboardOf(window);
    ASSERT_NE(target, nullptr);
    QTest::keyClicks(target, QString::fromStdString(text));
}

std::string ShownText(ui::CDialogBase& window, int id) {
    QWidget* control = ui::ToWidget(window.GetDlgItem(id));
    if (auto* edit = qobject_cast<QLineEdit*>(control)) return edit->text().toStdString();
    if (auto* combo = qobject_cast<QComboBox*>(control)) return combo->currentText().toStdString();
    if (auto* label = qobject_cast<QLabel*>(control)) return label->text().toStdString();
    return {};
}

bool HasFocus(ui::CDialogBase& window, int id) {
    QWidget* field = ui::ToWidget(window.GetDlgItem(id));
    return field && field->window()->focusWidget() == field;
}

void Choose(ui::CDialogBase& window, int id, int index) {
    auto* list = ui::ToWidget<QComboBox>(window.GetDlgItem(id));
    ASSERT_NE(list, nullptr) << id;
    ASSERT_TRUE(list->isEnabled()) << id;
    list->showPopup();
    QAbstractItemView* view = list->view();
    const QModelIndex item = view->model()->index(index, 0);
    view->scrollTo(item);
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, view->visualRect(item).center());
}

void PressDown(ui::CDialogBase& window, int id) {
    QWidget* control = ui::ToWidget(window.GetDlgItem(id));
    ASSERT_NE(control, nullptr) << id;
    control->window()->show();
    control->setFocus();
    QTest::keyClick(control, Qt::Key_Down);
}

void FocusTabs(ui::CPropertySheet& sheet) {
    auto* tabs = ui::ToWidget<QTabWidget>(sheet.GetSafeHwnd());
    ASSERT_NE(tabs, nullptr);
    tabs->tabBar()->setFocus(Qt::TabFocusReason);
}

void ShowPage(ui::CPropertySheet& sheet, int index) {
    auto* tabs = ui::ToWidget<QTabWidget>(sheet.GetSafeHwnd());
    ASSERT_NE(tabs, nullptr);
    QTabBar* bar = tabs->tabBar();
    QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(index).center());
    ASSERT_EQ(tabs->currentIndex(), index);
}

std::vector<std::string> TabTexts(ui::CPropertySheet& sheet) {
    std::vector<std::string> texts;
    if (auto* tabs = ui::ToWidget<QTabWidget>(sheet.GetSafeHwnd()))
        for (int i = 0; i < tabs->count(); ++i) texts.push_back(ui::ToSaveText(tabs->tabText(i)));
    return texts;
}

Bounds BoundsOf(ui::WindowHandle control) {
    const QWidget* widget = ui::ToWidget(control);
    const QRect r(widget->mapTo(widget->window(), QPoint(0, 0)), widget->size());
    return {r.left(), r.top(), r.right() + 1, r.bottom() + 1};
}

Bounds ScreenBoundsOf(ui::WindowHandle window) {
    const QRect r = ui::ToWidget(window)->frameGeometry();
    return {r.left(), r.top(), r.right() + 1, r.bottom() + 1};
}

std::vector<std::string> ChildTexts(ui::WindowHandle window) {
    std::vector<std::string> texts;
    for (const QLabel* label : ui::ToWidget(window)->findChildren<QLabel*>())
        texts.push_back(ui::ToSaveText(label->text()));
    return texts;
}

std::vector<std::pair<unsigned, std::string>> SystemMenuItems(ui::CDialog& dialog) {
    std::vector<std::pair<unsigned, std::string>> items;
    auto* menu = static_cast<ui::SystemMenu*>(dialog.GetSystemMenu(ui::FALSE));
    for (const QAction* action : menu->Menu()->actions())
        items.emplace_back(action->isSeparator() ? 0 : action->data().toUInt(),
                           ui::ToSaveText(action->text()));
    return items;
}

std::string DismissModalFrom(const std::function<void()>& opensModal) {
    std::string title;
    QTimer::singleShot(0, [&] {
        if (QWidget* modal = QApplication::activeModalWidget()) {
            title = ui::ToSaveText(modal->windowTitle());
            static_cast<QDialog*>(modal)->reject();
        }
    });
    opensModal();
    QApplication::processEvents();
    return title;
}

bool WhileModal(const std::function<void()>& opensModal, const std::function<void()>& act) {
    bool shown = false;
    QTimer::singleShot(0, [&] {
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal) return;
        shown = true;
        act();
        // An act that stopped at a failed assertion: the window is closed, so that the
        // test fails rather than waits for ever.
        if (QApplication::activeModalWidget() == modal && modal->isVisible()) {
            ADD_FAILURE() << "the modal window was left open";
            modal->close();
        }
    });
    opensModal();
    QApplication::processEvents();
    return shown;
}

bool RunEventsUntil(const std::function<bool()>& done, int milliseconds) {
    QElapsedTimer clock;
    clock.start();
    while (!done()) {
        if (clock.elapsed() > milliseconds) return false;
        QApplication::processEvents(QEventLoop::AllEvents, 20);
        QTest::qSleep(10);
    }
    return true;
}

void ClickButtonLabelled(ui::WindowHandle window, const std::string& text) {
    QWidget* widget = ui::ToWidget(window);
    ASSERT_NE(widget, nullptr);
    for (QAbstractButton* button : widget->findChildren<QAbstractButton*>()) {
        if (ui::ToSaveText(button->text()) != text) continue;
        ASSERT_TRUE(button->isEnabled()) << text;
        ASSERT_TRUE(button->isVisibleTo(widget)) << text;
        QTest::mouseClick(button, Qt::LeftButton);
        return;
    }
    FAIL() << "no button " << text;
}

}  // namespace quellhart::test
