// The editor on the desktop: a file given on the command line or dropped on the
// window opens as from "OpenFile", the keys press the buttons, and the help window
// lists the keys and restores the backup.
#include <QAccessible>
#include <QApplication>
#include <QDialog>
#include <QDropEvent>
#include <QKeySequence>
#include <QLabel>
#include <QMimeData>
#include <QPushButton>
#include <QTest>
#include <QTextEdit>
#include <QTimer>
#include <QUrl>
#include <filesystem>

#include "res/ControlIds.h"
#include "res/Messages.h"
#include "savefile/SaveErrors.h"
#include "tests/ui/GuiTestBase.h"
#include "tests/ui/qt/QtWidgets.h"
#include "ui/EditorApp.h"
#include "ui/model/EditorKeys.h"

namespace quellhart::test {
namespace {

class DesktopTest : public GuiTest {
protected:
    void Drop(const std::string& path) {
        QMimeData data;
        data.setUrls({QUrl::fromLocalFile(QString::fromStdString(path))});
        QWidget* window = DialogOf(main);
        const QPoint at = window->rect().center();
        QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(window, &enter);
        ASSERT_TRUE(enter.isAccepted());
        QDropEvent drop(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(window, &drop);
    }
    void PressKeys(const char* keys) {
        QWidget* window = DialogOf(main);
        window->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(window));
        const QKeyCombination key = QKeySequence(QString::fromLatin1(keys))[0];
        QTest::keyClick(window, key.key(), key.keyboardModifiers());
    }
    QPushButton* HelpButton(const char* text) {
        if (!HelpDialog(main)) return nullptr;
        for (QPushButton* button : HelpDialog(main)->findChildren<QPushButton*>())
            if (button->text() == text) return button;
        return nullptr;
    }
};

TEST_F(DesktopTest, AFileFromTheCommandLineOpensAsFromOpenFile) {
    const std::string good = WriteSave(StandardSave());
    const std::string bad = WriteSave(SaveBuilder().Raw("nope"), "bad.ess");
    ClickOpen(good);
    const std::string shownAfterOpenFile = Label();
    for (const std::string& path : {good, bad}) {
        prompts->messages.clear();
        ui::CMainDlg started;
        started.OpenAtStart(path);
        started.Create();
        QApplication::processEvents();  // the window is up, then the file opens
        if (path == good) {
            ASSERT_NE(Held(started).Document(), nullptr);
            EXPECT_EQ(Text(started, IDC_ACTIVE_FILE), shownAfterOpenFile);
            EXPECT_EQ(Text(Held(started).PlayerPage(), IDC_PLAYER_NAME), "Bob");
            EXPECT_TRUE(Widget(started, IDC_COMMIT_CHANGES)->isEnabled());
        } else {
            EXPECT_EQ(Held(started).Document(), nullptr);
            ASSERT_EQ(prompts->messages.size(), 1u);
            EXPECT_EQ(prompts->messages[0].text, errors::kNotASave);
            EXPECT_EQ(prompts->messages[0].caption, "Error");
        }
        started.DestroyWindow();
    }
}

TEST_F(DesktopTest, ADroppedFileOpensAsFromOpenFile) {
    const std::string path = WriteSave(StandardSave());
    Drop(path);
    ASSERT_NE(Held(main).Document(), nullptr);
    EXPECT_EQ(Text(Held(main).PlayerPage(), IDC_PLAYER_NAME), "Bob");
    EXPECT_EQ(Held(main).Document()->SavePath(), path);
    Drop(WriteSave(SaveBuilder().Raw("nope"), "bad.ess"));
    EXPECT_EQ(Held(main).Document(), nullptr);
    EXPECT_EQ(Label(), "");
    EXPECT_EQ(prompts->messages.back().text, errors::kNotASave);
}

// A file dropped while a commit runs (its window keeps handling events meanwhile)
// opens nothing: the document being written stays as it is.
TEST_F(DesktopTest, AFileDroppedDuringACommitIsLeftAlone) {
    const std::string path = WriteSave(StandardSave());
    const std::string other = WriteSave(StandardSave(), "other.ess");
    ClickOpen(path);
    Type(Held(main).PlayerPage(), IDC_PLAYER_NAME, "Dropped");
    // Dropped as soon as the wait box stands: the commit is running.
    bool dropped = false;
    QTimer watch;
    QObject::connect(&watch, &QTimer::timeout, [&] {
        for (QWidget* window : QApplication::topLevelWidgets())
            if (window->isVisible() && window->accessibleName().startsWith("Now generating")) {
                watch.stop();
                Drop(other);
                dropped = true;
            }
    });
    watch.start(0);
    ClickCommit({ui::IDYES});
    EXPECT_TRUE(dropped);
    ASSERT_NE(Held(main).Document(), nullptr);
    EXPECT_EQ(Held(main).Document()->SavePath(), path);
    EXPECT_EQ(Text(Held(main).PlayerPage(), IDC_PLAYER_NAME), "Dropped");
    // Once the commit is over, a drop opens the file again.
    Drop(other);
    ASSERT_NE(Held(main).Document(), nullptr);
    EXPECT_EQ(Held(main).Document()->SavePath(), other);
}

TEST_F(DesktopTest, KeysPressTheButtons) {
    const std::string path = WriteSave(StandardSave());
    PressKeys("Ctrl+S");  // CommitChanges is disabled: nothing happens
    EXPECT_TRUE(prompts->messages.empty());
    prompts->fileAnswers.push_back(path);
    PressKeys("Ctrl+O");
    ASSERT_NE(Held(main).Document(), nullptr);
    SaveBuilder().Raw("old backup").WriteTo(dir.File("save.bak"));
    prompts->messageAnswers = {ui::IDYES, ui::IDYES};
    PressKeys("Ctrl+S");
    ASSERT_EQ(prompts->messages.size(), 3u);  // both questions, then the report
    EXPECT_EQ(prompts->messages[0].text, messages::kConfirmWrite);
    EXPECT_EQ(prompts->messages[1].text, messages::kConfirmReplaceBackup);
    EXPECT_EQ(prompts->messages[2].caption, "Done");
    EXPECT_EQ(ReadFileBytes(dir.File("save.bak")), StandardSave().Bytes());

    ui::CEditorApp app;
    app.m_pMainWnd = &main;
    PressKeys("F1");
    ASSERT_NE(HelpDialog(main), nullptr);
    EXPECT_TRUE(HelpDialog(main)->isVisible());
    app.m_pMainWnd = nullptr;
}

TEST_F(DesktopTest, HelpListsEveryKey) {
    ui::CEditorApp app;
    app.m_pMainWnd = &main;
    Click(main, ID_HELP);
    ASSERT_NE(HelpDialog(main), nullptr);
    EXPECT_EQ(HelpDialog(main)->windowTitle().toStdString(), messages::kHelpCaption);
    const QString shown = HelpDialog(main)->findChild<QTextEdit*>()->toPlainText();
    for (const ui::EditorKey& key : ui::kEditorKeys) {
        const QString keys =
            QKeySequence(QString::fromLatin1(key.keys)).toString(QKeySequence::NativeText);
        EXPECT_TRUE(shown.contains(keys)) << key.keys;
    }
    // It says which code page the save's texts are in, and in the words of Linux.
    for (const char* phrase : {"here Windows-1252", "from your file manager", "Orca"})
        EXPECT_TRUE(shown.contains(QString::fromUtf8(phrase))) << phrase;
    app.m_pMainWnd = nullptr;
}

TEST_F(DesktopTest, HelpOpensTheAboutBox) {
    ui::CEditorApp app;
    app.m_pMainWnd = &main;
    Click(main, ID_HELP);
    QPushButton* about = HelpButton(messages::kHelpAbout);
    ASSERT_NE(about, nullptr);
    EXPECT_EQ(DismissModalFrom([&] { QTest::mouseClick(about, Qt::LeftButton); }),
              "About Quellhart Savegame Editor");
    app.m_pMainWnd = nullptr;
}

// A path longer than the "Active File" label keeps its file name in sight, and the
// text shown fits the label at every width (the font's fractional widths round
// differently for each); the whole path is the tooltip and the accessible
// description.
TEST_F(DesktopTest, ALongPathKeepsTheFileNameVisible) {
    const std::string folder = dir.File(std::string(150, 'f'));
    std::filesystem::create_directory(folder);
    const std::string path = folder + "/the-save.ess";
    StandardSave().WriteTo(path);
    ClickOpen(path);
    auto* label = ui::ToWidget<QLabel>(main.GetDlgItem(IDC_ACTIVE_FILE));
    ASSERT_NE(label, nullptr);
    EXPECT_EQ(label->toolTip().toStdString(), path);
    EXPECT_EQ(label->accessibleDescription().toStdString(), path);
    ui::CWnd shown;
    shown.Attach(main.GetDlgItem(IDC_ACTIVE_FILE));
    for (int width = 200; width <= 600; ++width) {
        SCOPED_TRACE(width);
        label->setFixedWidth(width);
        shown.SetWindowTextPath(path);
        EXPECT_TRUE(label->text().endsWith("the-save.ess")) << label->text().toStdString();
        EXPECT_TRUE(label->text().contains(QChar(0x2026)));
        EXPECT_LE(label->fontMetrics().horizontalAdvance(label->text()),
                  label->contentsRect().width());
    }
}

// The help text has a caret for the arrows, Tab visits the text and every button in
// order, and About opened from Help belongs to Help, so that closing it returns there.
TEST_F(DesktopTest, HelpIsReadAndLeftByKeyboard) {
    ui::CEditorApp app;
    app.m_pMainWnd = &main;
    Click(main, ID_HELP);
    QDialog* help = HelpDialog(main);
    ASSERT_NE(help, nullptr);
    auto* text = help->findChild<QTextEdit*>();
    EXPECT_TRUE(text->textInteractionFlags() & Qt::TextSelectableByKeyboard);
    // Read as text, line by line, not as a label read at once.
    QAccessibleInterface* read = QAccessible::queryAccessibleInterface(text);
    ASSERT_NE(read, nullptr);
    EXPECT_EQ(read->role(), QAccessible::EditableText);
    EXPECT_TRUE(read->state().readOnly);
    text->setFocus();
    std::vector<std::string> visited;
    for (int i = 0; i < 6; ++i) {
        QTest::keyClick(help->focusWidget(), Qt::Key_Tab);
        auto* button = qobject_cast<QPushButton*>(help->focusWidget());
        visited.push_back(button                        ? button->text().toStdString()
                          : help->focusWidget() == text ? "(text)"
                                                        : "(other)");
    }
    EXPECT_EQ(visited, (std::vector<std::string>{messages::kHelpAbout, messages::kHelpRestore,
                                                 messages::kHelpVersions, messages::kHelpReload,
                                                 "Close", "(text)"}));
    QWidget* aboutOwner = nullptr;
    QTimer::singleShot(0, [&] {
        if (QWidget* modal = QApplication::activeModalWidget()) {
            aboutOwner = modal->parentWidget();
            static_cast<QDialog*>(modal)->reject();
        }
    });
    // Enter on the focused About... presses it, as on Windows.
    HelpButton(messages::kHelpAbout)->setFocus();
    QTest::keyClick(HelpButton(messages::kHelpAbout), Qt::Key_Return);
    EXPECT_EQ(aboutOwner, help);
    app.m_pMainWnd = nullptr;
}

TEST_F(DesktopTest, HelpRestoresTheBackupAndLoadsTheSaveAgain) {
    ui::CEditorApp app;
    app.m_pMainWnd = &main;
    Click(main, ID_HELP);
    QPushButton* restore = HelpButton(messages::kHelpRestore);
    ASSERT_NE(restore, nullptr);

    QTest::mouseClick(restore, Qt::LeftButton);  // nothing open yet
    EXPECT_EQ(prompts->messages.back().text, messages::kNoSaveToRestore);
    const std::string path = WriteSave(StandardSave());
    ClickOpen(path);
    QTest::mouseClick(restore, Qt::LeftButton);  // no backup yet
    EXPECT_EQ(prompts->messages.back().text, messages::kNoBackup);

    Type(Held(main).PlayerPage(), IDC_PLAYER_NAME, "Edited");
    ClickCommit({ui::IDYES});
    const std::string edited = ReadFileBytes(path);
    prompts->messages.clear();
    prompts->messageAnswers = {ui::IDNO};
    QTest::mouseClick(restore, Qt::LeftButton);  // asked, and declined
    ASSERT_EQ(prompts->messages.size(), 1u);
    EXPECT_EQ(prompts->messages[0].caption, messages::kConfirmCaption);
    EXPECT_EQ(ReadFileBytes(path), edited);

    prompts->messageAnswers = {ui::IDYES};
    QTest::mouseClick(restore, Qt::LeftButton);
    EXPECT_EQ(prompts->messages.back().caption, "Done");
    EXPECT_EQ(ReadFileBytes(path), StandardSave().Bytes());
    EXPECT_EQ(ReadFileBytes(dir.File("save.bak")), edited);
    ASSERT_NE(Held(main).Document(), nullptr);
    EXPECT_EQ(Text(Held(main).PlayerPage(), IDC_PLAYER_NAME), "Bob");
    app.m_pMainWnd = nullptr;
}

// A refused restore says what happened, and the reason apart from it, once: here the
// save's work file would be another save's backup.
TEST_F(DesktopTest, ARefusedRestoreShowsItsReasonOnce) {
    ui::CEditorApp app;
    app.m_pMainWnd = &main;
    const std::string path = WriteSave(StandardSave(), "p.ess.bak");
    WriteSave(StandardSave(), "p.bak.bak");
    const std::string other = WriteSave(StandardSave(), "p.out.ess");
    ClickOpen(path);
    Click(main, ID_HELP);
    QPushButton* restore = HelpButton(messages::kHelpRestore);
    ASSERT_NE(restore, nullptr);
    prompts->messages.clear();
    prompts->messageAnswers = {ui::IDYES};
    QTest::mouseClick(restore, Qt::LeftButton);
    ASSERT_EQ(prompts->messages.size(), 2u);
    EXPECT_EQ(prompts->messages[1].caption, "Error");
    EXPECT_EQ(prompts->messages[1].text,
              "Error swapping the save and its backup; both keep their old contents.");
    EXPECT_EQ(prompts->messages[1].details,
              dir.File("p.out.bak") + " is the work file of this save and the backup of " + other +
                  "; rename one of the two saves.");
    app.m_pMainWnd = nullptr;
}

}  // namespace
}  // namespace quellhart::test
