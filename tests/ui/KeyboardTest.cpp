// The main window's keyboard, as Windows users expect it, on every toolkit: Enter
// presses the button the keyboard is on, or the default button of the page shown,
// and never ends the window; turning a page takes the keyboard along, so that
// nothing typed reaches a page that is not shown.
#include <map>
#include <random>
#include <span>

#include "tests/ui/GuiTestBase.h"

namespace quellhart::test {
namespace {

constexpr int kPlayerFields[] = {IDC_PLAYER_NAME, IDC_PLAYER_RACE, IDC_PLAYER_CLASS,
                                 IDC_PLAYER_HEAD, IDC_PLAYER_HAIR};

class KeyboardTest : public GuiTest {
protected:
    void OpenStandardSave() {
        ClickOpen(WriteSave(StandardSave()));
        ASSERT_NE(Held(main).Document(), nullptr);
    }
    std::map<int, std::string> PlayerTexts() {
        std::map<int, std::string> texts;
        for (int id : kPlayerFields) texts[id] = Text(Held(main).PlayerPage(), id);
        return texts;
    }
};

// Enter in a Player Data field keeps the window and the text typed; nothing is asked,
// nothing is written, and the hidden page's Confirm Change is not pressed.
TEST_F(KeyboardTest, EnterOnPlayerDataDoesNothing) {
    OpenStandardSave();
    ShowPage(1);
    Type(Held(main).GlobPage(), IDC_GLOB_VALUE, "7.25");  // confirmed, it would read 7.250000
    ShowPage(0);
    for (int id : kPlayerFields) {
        SCOPED_TRACE(id);
        const size_t fileDialogs = prompts->fileDialogs.size();
        Type(Held(main).PlayerPage(), id, "Zed");
        Press(main, Key::Enter);
        EXPECT_TRUE(main.IsWindowVisible());
        EXPECT_EQ(Text(Held(main).PlayerPage(), id), "Zed");
        EXPECT_EQ(prompts->fileDialogs.size(), fileDialogs);
    }
    EXPECT_EQ(Text(Held(main).GlobPage(), IDC_GLOB_VALUE), "7.25");
    EXPECT_TRUE(prompts->messages.empty());
}

struct EnterRow {
    const char* where;
    bool open;          // a save is open
    bool onGlobPage;    // the keyboard is on the Global Variables page (else the window)
    int focus;          // where Enter is pressed
    bool confirms;      // the value typed is stored
    bool asksForAFile;  // OpenFile was pressed
    bool asksToCommit;  // CommitChanges was pressed (and answered No)
};

class EnterTest : public KeyboardTest, public ::testing::WithParamInterface<EnterRow> {};

// On Global Variables, Enter presses Confirm Change wherever the keyboard is on the
// page, when it is enabled; on a button of the window, that button.
TEST_P(EnterTest, PressesTheButtonItIsOnOrConfirmChange) {
    const EnterRow& row = GetParam();
    if (row.open) OpenStandardSave();
    ShowPage(1);
    if (row.open) Type(Held(main).GlobPage(), IDC_GLOB_VALUE, "7.25");
    const size_t fileDialogs = prompts->fileDialogs.size();
    prompts->messageAnswers = {ui::IDNO};
    Focus(row.onGlobPage ? static_cast<ui::CDialogBase&>(Held(main).GlobPage()) : main, row.focus);
    Press(main, Key::Enter);
    EXPECT_TRUE(main.IsWindowVisible());
    if (row.open) {  // a file dialog cancelled closes the save, and its page empties
        EXPECT_EQ(Text(Held(main).GlobPage(), IDC_GLOB_VALUE), row.asksForAFile ? ""
                                                               : row.confirms   ? "7.250000"
                                                                                : "7.25");
    }
    EXPECT_EQ(prompts->fileDialogs.size(), fileDialogs + (row.asksForAFile ? 1 : 0));
    ASSERT_EQ(prompts->messages.size(), row.asksToCommit ? 1u : 0u);
    if (row.asksToCommit) {
        EXPECT_EQ(prompts->messages[0].caption, "Please Confirm");
    }
}

INSTANTIATE_TEST_SUITE_P(
    Keys, EnterTest,
    ::testing::Values(EnterRow{"value", true, true, IDC_GLOB_VALUE, true, false, false},
                      EnterRow{"list", true, true, IDC_GLOB_LIST, true, false, false},
                      EnterRow{"confirm", true, true, IDC_CONFIRM_CHANGE, true, false, false},
                      EnterRow{"openFile", true, false, IDC_OPEN_FILE, false, true, false},
                      EnterRow{"commit", true, false, IDC_COMMIT_CHANGES, false, false, true},
                      EnterRow{"noSave", false, true, IDC_GLOB_VALUE, false, false, false}),
    [](const auto& info) { return std::string(info.param.where); });

struct PageTurn {
    const char* how;
    Key forward, back;  // the keys from the first page to the second, and back
    bool fromTabs;      // the tabs have the keyboard (else a field of the page)
    bool click;         // a click on the tab instead of a key
};

class PageTurnTest : public KeyboardTest, public ::testing::WithParamInterface<PageTurn> {
protected:
    // Turns from the page shown to the other one, the keyboard on `field` of it.
    void TurnFrom(ui::CDialogBase& page, int field, int to) {
        const PageTurn& turn = GetParam();
        const Key key = to == 1 ? turn.forward : turn.back;
        if (turn.fromTabs)
            FocusTabs(Held(main).Sheet());
        else
            Focus(page, field);
        if (turn.click)
            ShowPage(to);
        else
            Press(main, key);
        ASSERT_EQ(Held(main).Sheet().GetActiveIndex(), to);
    }
};

// Whatever turns the page, typing then never changes the page that was left.
TEST_P(PageTurnTest, TypingReachesNoHiddenPage) {
    OpenStandardSave();
    const std::map<int, std::string> player = PlayerTexts();
    TurnFrom(Held(main).PlayerPage(), IDC_PLAYER_HAIR, 1);
    TypeHere(main, "QQ");
    EXPECT_EQ(PlayerTexts(), player);

    const std::string value = Text(Held(main).GlobPage(), IDC_GLOB_VALUE);
    TurnFrom(Held(main).GlobPage(), IDC_GLOB_VALUE, 0);
    TypeHere(main, "7.25x");
    EXPECT_EQ(Text(Held(main).GlobPage(), IDC_GLOB_VALUE), value);
    // From a field, the page keys put the keyboard on the first field of the page,
    // as Tab does: its text selected.
    if (!GetParam().fromTabs && !GetParam().click) {
        EXPECT_EQ(Text(Held(main).PlayerPage(), IDC_PLAYER_NAME), "7.25x");
    }
}

INSTANTIATE_TEST_SUITE_P(
    Keys, PageTurnTest,
    ::testing::Values(PageTurn{"ctrlTab", Key::CtrlTab, Key::CtrlTab, false, false},
                      PageTurn{"ctrlShiftTab", Key::CtrlShiftTab, Key::CtrlShiftTab, false, false},
                      PageTurn{"ctrlPage", Key::CtrlPageDown, Key::CtrlPageUp, false, false},
                      PageTurn{"click", Key::Enter, Key::Enter, false, true},
                      PageTurn{"tabsArrows", Key::Right, Key::Left, true, false}),
    [](const auto& info) { return std::string(info.param.how); });

struct KeyTurn {
    const char* how;
    Key forward, back;  // the keys from the first page to the second, and back
    int from;           // the main window's button the keyboard is on, or 0: a field
    bool firstTurn;     // the Global Variables page has not been shown since the Open
};

class KeyTurnTest : public KeyboardTest, public ::testing::WithParamInterface<KeyTurn> {};

// A page key turns the page wherever the keyboard is, and leaves it where Tab would:
// on the first enabled tab stop of the page shown (its text selected), after the page
// has been filled. What is typed next replaces that text, and nothing else changes.
TEST_P(KeyTurnTest, TypingReplacesTheFirstFieldsSelectedText) {
    const KeyTurn& turn = GetParam();
    OpenStandardSave();
    if (!turn.firstTurn) {
        ShowPage(1);
        ShowPage(0);
    }
    const std::map<int, std::string> player = PlayerTexts();
    if (turn.from)
        Focus(main, turn.from);
    else
        Focus(Held(main).PlayerPage(), IDC_PLAYER_HAIR);
    Press(main, turn.forward);
    ASSERT_EQ(Held(main).Sheet().GetActiveIndex(), 1);
    EXPECT_TRUE(HasFocus(Held(main).GlobPage(), IDC_GLOB_LIST));
    Press(main, Key::Tab);
    TypeHere(main, "20");
    Press(main, Key::Enter);
    EXPECT_EQ(Text(Held(main).GlobPage(), IDC_GLOB_VALUE), "20.000000");
    ASSERT_NE(Held(main).Document(), nullptr);
    EXPECT_EQ(Held(main).Document()->Glob(0).value, 20.0f);
    EXPECT_TRUE(Held(main).Document()->Glob(0).modified);
    for (int i = 1; i < Held(main).Document()->GlobCount(); ++i)
        EXPECT_FALSE(Held(main).Document()->Glob(i).modified) << i;
    EXPECT_EQ(PlayerTexts(), player);
    // The value stays selected: the next number typed replaces it.
    TypeHere(main, "9");
    Press(main, Key::Enter);
    EXPECT_EQ(Text(Held(main).GlobPage(), IDC_GLOB_VALUE), "9.000000");

    Press(main, turn.back);
    ASSERT_EQ(Held(main).Sheet().GetActiveIndex(), 0);
    TypeHere(main, "Zed");
    std::map<int, std::string> typed = player;
    typed[IDC_PLAYER_NAME] = "Zed";
    EXPECT_EQ(PlayerTexts(), typed);
    EXPECT_TRUE(prompts->messages.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Keys, KeyTurnTest,
    ::testing::Values(
        KeyTurn{"ctrlTabFirst", Key::CtrlTab, Key::CtrlShiftTab, 0, true},
        KeyTurn{"ctrlTabLater", Key::CtrlTab, Key::CtrlTab, 0, false},
        KeyTurn{"ctrlPageFirst", Key::CtrlPageDown, Key::CtrlPageUp, 0, true},
        KeyTurn{"ctrlShiftTabLater", Key::CtrlShiftTab, Key::CtrlPageUp, 0, false},
        KeyTurn{"fromOpenFile", Key::CtrlPageDown, Key::CtrlShiftTab, IDC_OPEN_FILE, true},
        KeyTurn{"fromCommit", Key::CtrlTab, Key::CtrlPageUp, IDC_COMMIT_CHANGES, true},
        KeyTurn{"fromHelpLater", Key::CtrlShiftTab, Key::CtrlTab, ID_HELP, false}),
    [](const auto& info) { return std::string(info.param.how); });

// Page keys, Tab, Shift+Tab and typing in any order, seeded so that a failure repeats:
// a typed letter appears only in the field that has the keyboard on the page shown,
// and never on the page that is hidden.
TEST_F(KeyboardTest, TypingReachesOnlyTheFieldWithTheKeyboard) {
    OpenStandardSave();
    constexpr Key kKeys[] = {Key::CtrlTab,    Key::CtrlShiftTab, Key::CtrlPageDown,
                             Key::CtrlPageUp, Key::Tab,          Key::ShiftTab};
    constexpr int kGlobFields[] = {IDC_GLOB_VALUE};
    std::mt19937 random(20261209);
    for (int step = 0; step < 200; ++step) {
        SCOPED_TRACE(step);
        if (random() % 3 != 0) {
            Press(main, kKeys[random() % std::size(kKeys)]);
            continue;
        }
        const int shown = Held(main).Sheet().GetActiveIndex();
        ui::CDialogBase& page = shown == 0 ? static_cast<ui::CDialogBase&>(Held(main).PlayerPage())
                                           : Held(main).GlobPage();
        ui::CDialogBase& hidden = shown == 0 ? static_cast<ui::CDialogBase&>(Held(main).GlobPage())
                                             : Held(main).PlayerPage();
        const std::span<const int> fields =
            shown == 0 ? std::span<const int>(kPlayerFields) : std::span<const int>(kGlobFields);
        const std::span<const int> hiddenFields =
            shown == 0 ? std::span<const int>(kGlobFields) : std::span<const int>(kPlayerFields);
        std::map<int, std::string> before, hiddenBefore;
        for (int id : fields) before[id] = Text(page, id);
        for (int id : hiddenFields) hiddenBefore[id] = Text(hidden, id);
        TypeHere(main, "q");
        for (int id : hiddenFields) EXPECT_EQ(Text(hidden, id), hiddenBefore[id]) << id;
        for (int id : fields) {
            // The lists choose by the letter; the tabs and the buttons take it without a
            // text of theirs.
            if (id == IDC_PLAYER_RACE || id == IDC_PLAYER_CLASS) continue;
            if (HasFocus(page, id))
                EXPECT_EQ(Text(page, id).back(), 'q') << id;
            else
                EXPECT_EQ(Text(page, id), before[id]) << id;
        }
    }
    EXPECT_TRUE(prompts->messages.empty());
}

}  // namespace
}  // namespace quellhart::test
