// The platform layer on its own: lists, window texts, dialog units, file filters
// and the property sheet's activation.
#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QTabWidget>

#include "tests/ui/qt/QtWidgets.h"
#include "ui/platform/CComboBox.h"
#include "ui/platform/CPropertySheet.h"
#include "ui/platform/Prompts.h"
#include "ui/platform/qt/DialogUnits.h"

namespace quellhart::ui {
namespace {

using test::DialogOf;
using test::Tabs;

class ComboBoxTest : public ::testing::Test {
protected:
    ComboBoxTest() {
        combo.setEditable(true);
        combo.setProperty("sorted", true);
        list.Attach(HandleOf(&combo));
        for (const char* text : {"Mage", "agent", "Bard", "Acrobat"}) list.AddString(text);
    }
    std::vector<std::string> Entries() const {
        std::vector<std::string> entries;
        for (int i = 0; i < list.GetCount(); ++i) entries.push_back(list.GetLBText(i));
        return entries;
    }
    QComboBox combo;
    CComboBox list;
};

TEST_F(ComboBoxTest, AddStringSortsWithoutCaseAndKeepsSelectionAndEditText) {
    EXPECT_EQ(Entries(), (std::vector<std::string>{"Acrobat", "agent", "Bard", "Mage"}));
    EXPECT_EQ(list.GetCurSel(), -1);  // adding selects nothing
    EXPECT_EQ(combo.currentText(), "");
    list.SetCurSel(2);  // Bard
    combo.setEditText("typed");
    EXPECT_EQ(list.AddString("Archer"), 2);
    EXPECT_EQ(list.AddString("bard"), 4);  // equal names are kept, after the first
    EXPECT_EQ(list.GetLBText(list.GetCurSel()), "Bard");
    EXPECT_EQ(combo.currentText(), "typed");
}

TEST_F(ComboBoxTest, SelectStringSearchesPrefixesAfterTheStartAndWrapsRound) {
    EXPECT_EQ(list.SelectString(0, "a"), 1);  // entry 0 is examined last
    EXPECT_EQ(combo.currentText(), "agent");
    EXPECT_EQ(list.SelectString(0, "ACRO"), 0);
    EXPECT_EQ(combo.currentText(), "Acrobat");  // the entry's own text
    EXPECT_EQ(list.SelectString(0, "mag"), 3);
    EXPECT_EQ(list.SelectString(0, ""), 1);  // every entry begins with the empty text
    combo.setEditText("kept");
    EXPECT_EQ(list.SelectString(0, "Zzz"), CB_ERR);
    EXPECT_EQ(list.GetCurSel(), 1);
    EXPECT_EQ(combo.currentText(), "kept");
}

TEST_F(ComboBoxTest, ItemDataFollowsItsEntryAndBadIndexesAreErrors) {
    list.SetItemData(0, 10);  // Acrobat
    list.SetItemData(3, 13);  // Mage
    list.AddString("Aaa");
    EXPECT_EQ(list.GetItemData(1), 10);
    EXPECT_EQ(list.GetItemData(4), 13);
    EXPECT_EQ(list.GetItemData(-1), CB_ERR);
    EXPECT_EQ(list.GetItemData(99), CB_ERR);
    EXPECT_EQ(list.DeleteString(1), 4);
    EXPECT_EQ(list.GetLBText(1), "agent");
    list.ResetContent();
    EXPECT_EQ(list.GetCount(), 0);
    EXPECT_EQ(list.GetCurSel(), -1);
    EXPECT_EQ(list.SetCurSel(0), CB_ERR);
}

TEST_F(ComboBoxTest, SettingTheSelectionSendsNoNotification) {
    int notified = 0;
    QObject::connect(&combo, &QComboBox::activated, [&] { ++notified; });
    list.SetCurSel(2);
    list.SelectString(0, "Mage");
    list.AddString("Zed");
    EXPECT_EQ(notified, 0);
}

TEST(WindowText, IsWindows1252AndCutToTheBuffer) {
    QLineEdit edit;
    CEdit control;
    control.Attach(HandleOf(&edit));
    control.SetWindowText("\x80 \xE9\x81");
    EXPECT_EQ(edit.text(), QString::fromUtf8("\u20AC \u00E9\u0081"));
    EXPECT_EQ(control.GetWindowText(50), "\x80 \xE9\x81");
    edit.setText(QString::fromUtf8("\u4E2D") + QString(60, 'x'));
    const std::string text = control.GetWindowText(50);
    EXPECT_EQ(text.size(), 49u);
    EXPECT_EQ(text[0], '?');
    control.SetWindowTextPath("/saves/\u00E9t\u00E9.ess");  // file system encoding: UTF-8
    EXPECT_EQ(edit.text(), QString::fromUtf8("/saves/\u00E9t\u00E9.ess"));
}

TEST(DialogUnitsTest, FollowTheFontsAverageCharacterSize) {
    QFont small = QApplication::font();
    small.setPixelSize(10);
    QFont large = small;
    large.setPixelSize(20);
    const DialogUnits a(small), b(large);
    EXPECT_GT(a.BaseWidth(), 0);
    EXPECT_EQ(a.BaseHeight(), QFontMetrics(small).height());
    EXPECT_EQ(a.ToPixels(4, 8, 40, 16),
              QRect(a.BaseWidth(), a.BaseHeight(), 10 * a.BaseWidth(), 2 * a.BaseHeight()));
    // Proportions hold at any size: twice the font, about twice the dialog.
    EXPECT_NEAR(double(b.X(442)) / a.X(442), double(b.BaseWidth()) / a.BaseWidth(), 0.01);
}

TEST(FileDialog, FilterAndDefaultExtension) {
    using Pairs = std::vector<std::pair<std::string, std::string>>;
    EXPECT_EQ(FileFilterPairs("Quellhart save Files (*.ess)|*.ess||"),
              (Pairs{{"Quellhart save Files (*.ess)", "*.ess"}}));
    EXPECT_EQ(FileFilterPairs("A (*.a)|*.a|B (*.b)|*.b||"),
              (Pairs{{"A (*.a)", "*.a"}, {"B (*.b)", "*.b"}}));
    EXPECT_EQ(WithDefaultExtension("/s/quick", "ess"), "/s/quick.ess");
    EXPECT_EQ(WithDefaultExtension("/s/quick.ess", "ess"), "/s/quick.ess");
    EXPECT_EQ(WithDefaultExtension("/s.d/quick", "ess"), "/s.d/quick.ess");
}

// The usage in a message box: no columns for a proportional font to break.
TEST(CommandLineBox, TermsAndDescriptionsWithoutColumns) {
    EXPECT_EQ(WithoutColumns("Usage: x [FILE]\n\nOptions:\n  -h, --help     Shows this.\n"
                             "  --code-page N  Reads the texts\n                 in N.\n"
                             "\nArguments:\n  FILE           the save\n"),
              "Usage: x [FILE]\n\nOptions:\n-h, --help: Shows this.\n"
              "--code-page N: Reads the texts in N.\n\nArguments:\nFILE: the save\n");
    EXPECT_EQ(WithoutColumns("--code-page needs a number."), "--code-page needs a number.");
    EXPECT_EQ(WithoutColumns("Reason\n\n  indented alone\n"), "Reason\n\n  indented alone\n");
}

class CountingPage : public CPropertyPage {
public:
    explicit CountingPage(const char* caption) : CPropertyPage({0, caption, 0, 0, 100, 50, {}}) {}
    BOOL OnSetActive() override {
        ++activations;
        return TRUE;
    }
    int activations = 0;
};

class HostDialog : public CDialog {
public:
    HostDialog()
        : CDialog({1, "host", 0, 0, 300, 200, {}, WS_POPUP | WS_CAPTION | WS_SYSMENU}, nullptr) {}
};

TEST(PropertySheet, TabsInOrderAndEveryActivationIsReported) {
    HostDialog host;
    host.Create();
    CountingPage first("First"), second("Second");
    CPropertySheet sheet;
    sheet.AddPage(&first);
    sheet.AddPage(&second);
    sheet.Create(&host, WS_CHILD | WS_VISIBLE);
    EXPECT_EQ(Tabs(sheet)->tabText(0), "First");
    EXPECT_EQ(Tabs(sheet)->tabText(1), "Second");
    sheet.SetActivePage(0);
    sheet.SetActivePage(0);  // selecting the current page again activates it again
    EXPECT_EQ(first.activations, 2);
    Tabs(sheet)->setCurrentIndex(1);  // as a click on the tab
    EXPECT_EQ(second.activations, 1);
    host.DestroyWindow();
}

}  // namespace
}  // namespace quellhart::ui

#include <QAbstractButton>
#include <QContextMenuEvent>
#include <QDialog>
#include <QMenu>
#include <QMessageBox>
#include <QTest>
#include <QTimer>

#include "ui/platform/qt/SystemMenu.h"

namespace quellhart::ui {
namespace {

TEST(SystemMenuTest, OpensWithAltSpaceAndARightClickOnTheBackground) {
    HostDialog host;
    host.Create();
    QApplication::setActiveWindow(DialogOf(host));
    ASSERT_TRUE(QTest::qWaitForWindowActive(DialogOf(host)));
    QMenu* menu = static_cast<SystemMenu*>(host.GetSystemMenu(FALSE))->Menu();
    QTest::keyClick(DialogOf(host), Qt::Key_Space, Qt::AltModifier);
    EXPECT_TRUE(menu->isVisible());
    menu->hide();
    QContextMenuEvent click(QContextMenuEvent::Mouse, QPoint(5, 5),
                            DialogOf(host)->mapToGlobal(QPoint(5, 5)));
    QApplication::sendEvent(DialogOf(host), &click);
    EXPECT_TRUE(menu->isVisible());
    menu->hide();
    host.DestroyWindow();
}

// The real message box: the icon and the buttons each type asks for.
TEST(QtPromptsTest, MessageBoxesShowTheirTypesIconAndButtons) {
    struct Seen {
        QMessageBox::Icon icon = QMessageBox::NoIcon;
        QMessageBox::StandardButtons buttons;
        QString text, title, details;
    };
    auto answerNext = [](Seen& seen, QMessageBox::StandardButton press) {
        QTimer::singleShot(0, [&seen, press] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (!box) return;
            seen = {box->icon(), box->standardButtons(), box->text(), box->windowTitle(),
                    box->detailedText()};
            box->button(press)->click();
        });
    };
    const std::unique_ptr<Prompts> system = MakeSystemPrompts();
    Prompts& prompts = *system;
    Seen seen;
    answerNext(seen, QMessageBox::No);
    EXPECT_EQ(prompts.MessageBox(nullptr, "Proceed?\n\nReally", "Please Confirm",
                                 MB_YESNO | MB_ICONEXCLAMATION, ""),
              IDNO);
    EXPECT_EQ(seen.icon, QMessageBox::Warning);
    EXPECT_EQ(seen.buttons, QMessageBox::Yes | QMessageBox::No);
    EXPECT_EQ(seen.text, "Proceed?\n\nReally");
    EXPECT_EQ(seen.title, "Please Confirm");

    answerNext(seen, QMessageBox::Ok);
    EXPECT_EQ(prompts.MessageBox(nullptr, "Done", "Done", MB_OK | MB_ICONINFORMATION, ""), IDOK);
    EXPECT_EQ(seen.icon, QMessageBox::Information);
    EXPECT_EQ(seen.buttons, QMessageBox::Ok);

    answerNext(seen, QMessageBox::Ok);
    prompts.MessageBox(nullptr, "Broken", "Error", MB_OK | MB_ICONEXCLAMATION, "Disk full");
    EXPECT_EQ(seen.icon, QMessageBox::Warning);
    EXPECT_EQ(seen.buttons, QMessageBox::Ok);
    EXPECT_EQ(seen.text, "Broken");  // the reason is apart from the text
    EXPECT_EQ(seen.details, "Disk full");
}

}  // namespace
}  // namespace quellhart::ui

#include <thread>

#include "ui/WaitDlg.h"
#include "ui/platform/BackgroundWork.h"

namespace quellhart::ui {
namespace {

// The windows are painted and timers run while the work goes on elsewhere; what
// the work throws arrives here.
TEST(BackgroundWork, RunsElsewhereWhileTheWindowsStayAlive) {
    const std::thread::id here = std::this_thread::get_id();
    std::thread::id workedOn;
    bool timerRan = false, timerRanDuringWork = false;
    QTimer::singleShot(0, [&] { timerRan = true; });
    RunKeepingWindowsAlive([&] {
        workedOn = std::this_thread::get_id();
        for (int i = 0; i < 200 && !timerRan; ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        timerRanDuringWork = timerRan;
    });
    EXPECT_NE(workedOn, here);
    EXPECT_TRUE(timerRanDuringWork);
    EXPECT_THROW(RunKeepingWindowsAlive([] { throw std::runtime_error("failed"); }),
                 std::runtime_error);
}

// The wait box has no title; a screen reader hears its texts.
TEST(WaitBox, IsNamedByItsTexts) {
    CWaitDlg wait;
    wait.Create(nullptr);
    QWidget* box = ToWidget(wait.GetSafeHwnd());
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(box->accessibleName(), "Now generating the new file. Please Wait");
    wait.DestroyWindow();
}

}  // namespace
}  // namespace quellhart::ui
