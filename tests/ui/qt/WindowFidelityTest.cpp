// The window as a user meets it: the text typed into a list is the text written, a
// filled field shows its start, every template text fits its rectangle, lists drop
// down to their template's height, and a failed reload after a commit leaves the
// window safe to use.
#include <QAbstractItemView>
#include <QApplication>
#include <QDialog>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>

#include "res/ControlIds.h"
#include "res/DialogTemplates.h"
#include "res/Messages.h"
#include "savefile/SaveErrors.h"
#include "tests/ui/GuiTestBase.h"
#include "tests/ui/qt/QtWidgets.h"
#include "ui/platform/qt/DialogUnits.h"

namespace quellhart::test {
namespace {

class WindowFidelityTest : public GuiTest {
protected:
    std::string OpenStandard() {
        const std::string path = WriteSave(StandardSave());
        ClickOpen(path);
        EXPECT_NE(Held(main).Document(), nullptr);
        return path;
    }
};

TEST_F(WindowFidelityTest, TheListsKeepWhatIsTypedByteForByte) {
    const std::string path = OpenStandard();
    ui::CDialogBase& page = Held(main).PlayerPage();
    // Qt would complete "Kn" to "Knight" on Tab and fold "orc" into "Orc" on Enter.
    Type(page, IDC_PLAYER_CLASS, "Kn");
    QTest::keyClick(Combo(page, IDC_PLAYER_CLASS)->lineEdit(), Qt::Key_Tab);
    Type(page, IDC_PLAYER_RACE, "orc");
    QTest::keyClick(Combo(page, IDC_PLAYER_RACE)->lineEdit(), Qt::Key_Return);
    EXPECT_EQ(Text(page, IDC_PLAYER_CLASS), "Kn");
    EXPECT_EQ(Text(page, IDC_PLAYER_RACE), "orc");
    Type(page, IDC_PLAYER_RACE, "dar");
    QTest::keyClick(Combo(page, IDC_PLAYER_RACE)->lineEdit(), Qt::Key_Tab);
    ClickCommit({ui::IDYES});
    const std::string written = ReadFileBytes(path);
    EXPECT_NE(written.find(std::string("CNAM\x03\0\0\0Kn\0", 11)), std::string::npos);
    EXPECT_NE(written.find(std::string("RNAM\x04\0\0\0dar\0", 12)), std::string::npos);
}

TEST_F(WindowFidelityTest, FilledFieldsShowTheStartOfTheirText) {
    PlayerTexts texts;
    texts.name = "Abcdefghijklmnopqrstuvwxyz Abcdefghijklmnopqrstu";  // 49 characters
    ClickOpen(WriteSave(SaveBuilder().Header().Glob("Day", 1.0f).Player(texts)));
    EXPECT_EQ(Edit(Held(main).PlayerPage(), IDC_PLAYER_NAME)->cursorPosition(), 0);
    ShowPage(1);
    EXPECT_EQ(Edit(Held(main).GlobPage(), IDC_GLOB_UNK1)->cursorPosition(), 0);
}

TEST_F(WindowFidelityTest, AShortValueShowsOnlyItsOwnBytes) {
    SaveBuilder save;
    save.Header().Record("GLOB", {TextSub("NAME", "Half"), {"FNAM", "s"}, {"FLTV", "\x12\x34"}});
    save.Player();
    ClickOpen(WriteSave(save));
    ShowPage(1);
    EXPECT_EQ(Text(Held(main).GlobPage(), IDC_GLOB_VALUE_LEN), "2");
    EXPECT_EQ(Text(Held(main).GlobPage(), IDC_GLOB_VALUE_RAW), "12 34 ");
}

TEST_F(WindowFidelityTest, OnlyTheExactChargenIdWarns) {
    for (const char* cls : {"newclassid_chargen", "NEWCLASSID_CHARGE", "NEWCLASSID_CHARGEN"}) {
        prompts->messages.clear();
        PlayerTexts texts;
        texts.cls = cls;
        ClickOpen(WriteSave(SaveBuilder().Header().Glob("Day", 1.0f).Player(texts)));
        const bool warned = !prompts->messages.empty() && prompts->messages[0].caption == "Warning";
        EXPECT_EQ(warned, std::string(cls) == "NEWCLASSID_CHARGEN") << cls;
    }
}

TEST_F(WindowFidelityTest, AFailedReloadAfterACommitLeavesNothingToUse) {
    const std::string path = OpenStandard();
    ShowPage(1);
    Type(Held(main).GlobPage(), IDC_GLOB_VALUE, "42");
    Click(Held(main).GlobPage(), IDC_CONFIRM_CHANGE);
    // While "Done" is shown, something else writes over the save: the reload fails.
    prompts->whileShown = [&](const ui::ScriptedPrompts::MessageCall& shown) {
        if (shown.caption == "Done") SaveBuilder().Raw("gone").WriteTo(path);
    };
    ClickCommit({ui::IDYES});
    prompts->whileShown = nullptr;
    // The window waits a moment for a save the game may be writing, then says why.
    EXPECT_EQ(Text(main, IDC_DISK_STATUS), messages::kWaitingForSave);
    ASSERT_TRUE(
        RunEventsUntil([&] { return prompts->messages.back().text == errors::kNotASave; }, 8000));
    EXPECT_EQ(Text(main, IDC_DISK_STATUS), "");
    EXPECT_EQ(Held(main).Document(), nullptr);
    const size_t shown = prompts->messages.size();

    // The globals page still shows the entries from before; using them does nothing.
    QComboBox* list = Combo(Held(main).GlobPage(), IDC_GLOB_LIST);
    if (list->isEnabled() && list->count() > 1) {
        list->showPopup();
        QAbstractItemView* view = list->view();
        QTest::mouseClick(view->viewport(), Qt::LeftButton, {},
                          view->visualRect(view->model()->index(1, 0)).center());
    }
    QTest::mouseClick(Widget(Held(main).GlobPage(), IDC_CONFIRM_CHANGE), Qt::LeftButton);
    QTest::mouseClick(Widget(main, IDC_COMMIT_CHANGES), Qt::LeftButton);
    EXPECT_EQ(prompts->messages.size(), shown);
    EXPECT_EQ(ReadFileBytes(path), "gone");
    ShowPage(0);
    EXPECT_FALSE(Combo(Held(main).PlayerPage(), IDC_PLAYER_RACE)->isEnabled());
}

TEST_F(WindowFidelityTest, ListsDropDownToTheirTemplatesHeight) {
    SaveBuilder save;
    save.Header().Globs(1000).Player();
    ClickOpen(WriteSave(save));
    const ui::DialogUnits units(ui::DialogFont());
    struct Case {
        ui::CDialogBase& page;
        const ui::DialogTemplate& dialog;
        int id;
    };
    ShowPage(1);
    const Case cases[] = {{Held(main).PlayerPage(), res::PlayerPageTemplate(), IDC_PLAYER_RACE},
                          {Held(main).PlayerPage(), res::PlayerPageTemplate(), IDC_PLAYER_CLASS},
                          {Held(main).GlobPage(), res::GlobalsPageTemplate(), IDC_GLOB_LIST}};
    for (const Case& c : cases) {
        const auto it = std::find_if(c.dialog.controls.begin(), c.dialog.controls.end(),
                                     [&](const ui::ControlTemplate& t) { return t.id == c.id; });
        QComboBox* list = Combo(c.page, c.id);
        list->showPopup();
        QWidget* popup = list->view()->window();
        const int wanted = units.Y(it->height) - list->height();
        const int row = list->view()->sizeHintForRow(0);
        EXPECT_LE(popup->height(), wanted + row) << c.id;
        EXPECT_GE(popup->height(), wanted - 2 * row)
            << c.id << " rows " << list->maxVisibleItems() << " of " << row << "px, "
            << list->count() << " entries";
        QApplication::processEvents();
        if (list->count() > list->maxVisibleItems()) {
            EXPECT_TRUE(list->view()->verticalScrollBar()->isVisibleTo(popup)) << c.id;
        }
        list->hidePopup();
    }
}

TEST_F(WindowFidelityTest, ThePictureFillsItsRectangle) {
    const ui::DialogUnits units(ui::DialogFont());
    const auto& pictureTemplate = *std::find_if(
        res::MainTemplate().controls.begin(), res::MainTemplate().controls.end(),
        [](const ui::ControlTemplate& t) { return t.kind == ui::ControlKind::Bitmap; });
    const QRect rect = units.ToPixels(pictureTemplate.x, pictureTemplate.y, pictureTemplate.width,
                                      pictureTemplate.height);
    bool found = false;
    for (const QLabel* label : DialogOf(main)->findChildren<QLabel*>()) {
        if (label->pixmap().isNull() || label->geometry() != rect) continue;
        found = true;
        EXPECT_EQ(label->pixmap().size(), rect.size());
    }
    EXPECT_TRUE(found);
}

// Every text of every template fits its control, at the desktop's font and at twice
// its size (a screen at scale factor 2 without Qt's own scaling), and no two controls
// overlap but where the template puts one on a frame or a picture.
void ExpectEveryTextFits(const ui::DialogTemplate& dialog) {
    const ui::DialogUnits units(ui::DialogFont());
    const QFontMetrics metrics(ui::DialogFont());
    std::vector<QRect> placed;
    for (const ui::ControlTemplate& c : dialog.controls) {
        const QRect rect = units.ToPixels(c.x, c.y, c.width, c.height);
        const bool hasText = c.kind == ui::ControlKind::Static ||
                             c.kind == ui::ControlKind::Button ||
                             c.kind == ui::ControlKind::GroupBox;
        if (hasText && !c.text.empty()) {
            const QString text = QString::fromStdString(c.text);
            EXPECT_LE(metrics.horizontalAdvance(text), rect.width()) << c.text;
            if (c.kind != ui::ControlKind::GroupBox) {
                EXPECT_LE(metrics.height(), rect.height()) << c.text;
            }
        }
        if (c.kind == ui::ControlKind::GroupBox || c.kind == ui::ControlKind::Bitmap) continue;
        // A list's template height includes its dropped-down part.
        const QRect field = c.kind == ui::ControlKind::ComboBox
                                ? QRect(rect.topLeft(), QSize(rect.width(), units.Y(12)))
                                : rect;
        for (const QRect& other : placed)
            EXPECT_FALSE(field.intersects(other)) << c.text << " " << c.id;
        placed.push_back(field);
    }
}

TEST(WindowLayout, EveryTextFitsAtOneAndTwiceTheDesktopFont) {
    const QFont desktop = QApplication::font();
    for (const double scale : {1.0, 2.0}) {
        QFont font = desktop;
        font.setPointSizeF(desktop.pointSizeF() * scale);
        QApplication::setFont(font);
        for (const ui::DialogTemplate* dialog : res::ProgramDialogTemplates()) {
            SCOPED_TRACE(dialog->caption + " at " + std::to_string(scale));
            ExpectEveryTextFits(*dialog);
        }
    }
    QApplication::setFont(desktop);
}

}  // namespace
}  // namespace quellhart::test
