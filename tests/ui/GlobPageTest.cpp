// The "Global Variables" page: the sorted list, the detail fields, confirming values,
// the refill rules, and a whole edit committed and reloaded.
#include <clocale>
#include <cmath>
#include <limits>
#include <set>

#include "res/ControlIds.h"
#include "savefile/ValueText.h"
#include "tests/ui/GuiTestBase.h"

namespace quellhart::test {
namespace {

constexpr int kDetailFields[] = {IDC_GLOB_UNK1,       IDC_GLOB_NAME_LEN,  IDC_GLOB_NAME,
                                 IDC_GLOB_FNAM_LEN,   IDC_GLOB_FNAM,      IDC_GLOB_VALUE_LEN,
                                 IDC_GLOB_VALUE,      IDC_GLOB_VALUE_RAW, IDC_GLOB_COUNT,
                                 IDC_GLOB_RAW_ADDRESS};

class GlobPageTest : public GuiTest {
protected:
    ui::CPSDlgGLOB& page() { return Held(main).GlobPage(); }
    void OpenGlobs(SaveBuilder& save) {
        save.Player();
        ClickOpen(WriteSave(save));
        ASSERT_NE(Held(main).Document(), nullptr);
        ShowPage(1);
    }
    // Chooses the entry with the mouse from the opened list.
    void Choose(int entry) { test::Choose(page(), IDC_GLOB_LIST, entry); }
    void Confirm(const char* typed) {
        Type(page(), IDC_GLOB_VALUE, typed);
        Click(page(), IDC_CONFIRM_CHANGE);
    }
    bool ConfirmEnabled() { return IsEnabled(page(), IDC_CONFIRM_CHANGE); }
};

TEST_F(GlobPageTest, FirstActivationWithoutADocumentShowsNothing) {
    ShowPage(1);
    EXPECT_FALSE(IsEnabled(page(), IDC_GLOB_LIST));
    EXPECT_EQ(Entries(page(), IDC_GLOB_LIST).size(), 0u);
    for (int id : kDetailFields) EXPECT_EQ(Text(page(), id), "") << id;
    EXPECT_FALSE(ConfirmEnabled());
}

TEST_F(GlobPageTest, NamesAreListedWithoutRegardToCaseAndTheFirstIsShown) {
    SaveBuilder save;
    save.Header().Glob("zeta", 1).Glob("Alpha", 2).Glob("beta", 3).Glob("Alpha", 4);
    OpenGlobs(save);
    EXPECT_EQ(Entries(page(), IDC_GLOB_LIST),
              (std::vector<std::string>{"Alpha", "Alpha", "beta", "zeta"}));
    EXPECT_TRUE(IsEnabled(page(), IDC_GLOB_LIST));
    EXPECT_EQ(Text(page(), IDC_GLOB_COUNT), "4");
    EXPECT_EQ(Text(page(), IDC_GLOB_NAME), "Alpha");
    EXPECT_TRUE(ConfirmEnabled());
    // Which of two equal names sorts first is the system's list's choice; each shows
    // its own slot.
    std::set<std::string> shown;
    for (int entry : {0, 1}) {
        Choose(entry);
        const int slot = Text(page(), IDC_GLOB_VALUE) == "2.000000" ? 1 : 3;
        shown.insert(Text(page(), IDC_GLOB_VALUE));
        EXPECT_EQ(Text(page(), IDC_GLOB_RAW_ADDRESS),
                  FormatHexOffset(Held(main).Document()->Glob(slot).rawAddress));
    }
    EXPECT_EQ(shown, (std::set<std::string>{"2.000000", "4.000000"}));
}

TEST_F(GlobPageTest, EveryStoredFieldIsRendered) {
    SaveBuilder save;
    save.Header();
    save.Raw("GLOB").Raw(LittleEndian32(25)).Raw(std::string(8, '\0'));
    save.Raw("NAME").Raw(LittleEndian32(4)).Raw(std::string("One\0", 4));
    save.Raw("FNAM").Raw(LittleEndian32(2)).Raw("\x0A\xFF");
    save.Raw("FLTV").Raw(LittleEndian32(4)).Raw(FloatBytes(1.0f));
    OpenGlobs(save);
    EXPECT_EQ(Text(page(), IDC_GLOB_UNK1), "19 00 00 00 00 00 00 00 00 00 00 00 ");
    EXPECT_EQ(Text(page(), IDC_GLOB_NAME_LEN), "4");
    EXPECT_EQ(Text(page(), IDC_GLOB_NAME), "One");
    EXPECT_EQ(Text(page(), IDC_GLOB_FNAM_LEN), "2");
    EXPECT_EQ(Text(page(), IDC_GLOB_FNAM), "0A FF ");
    EXPECT_EQ(Text(page(), IDC_GLOB_VALUE_LEN), "4");
    EXPECT_EQ(Text(page(), IDC_GLOB_VALUE_RAW), "00 00 80 3F ");
    EXPECT_EQ(Text(page(), IDC_GLOB_VALUE), "1.000000");
}

TEST_F(GlobPageTest, ConfirmedTextsAreReadLikeAtof) {
    SaveBuilder save;
    save.Header().Glob("Value", 1.0f);
    OpenGlobs(save);
    const GlobEntry& glob = Held(main).Document()->Glob(0);
    struct Case {
        const char* typed;
        float stored;
        const char* shown;
    };
    const float inf = std::numeric_limits<float>::infinity();
    for (const Case& c :
         {Case{"2.5", 2.5f, "2.500000"}, Case{"2.5x", 2.5f, "2.500000"},
          Case{"abc", 0.0f, "0.000000"}, Case{"0.1", 0.1f, "0.100000"}, Case{"1e39", inf, "inf"}}) {
        Held(main).Document()->Glob(0).modified = false;
        Confirm(c.typed);
        EXPECT_EQ(glob.value, c.stored) << c.typed;
        EXPECT_TRUE(glob.modified) << c.typed;
        EXPECT_EQ(Text(page(), IDC_GLOB_VALUE), c.shown) << c.typed;
        // The keyboard is on the stored value, so that a screen reader says it.
        EXPECT_TRUE(HasFocus(page(), IDC_GLOB_VALUE)) << c.typed;
    }
    EXPECT_EQ(Text(page(), IDC_GLOB_VALUE_RAW), "00 00 80 7F ");
}

TEST_F(GlobPageTest, TheFullStopIsTheSeparatorInEveryLocale) {
    SaveBuilder save;
    save.Header().Glob("Value", 1.0f);
    OpenGlobs(save);
    const std::string previous = std::setlocale(LC_ALL, nullptr);
    if (!std::setlocale(LC_ALL, "de_DE.UTF-8"))
        GTEST_SKIP() << "locale de_DE.UTF-8 is not installed";
    Confirm("2.5");
    EXPECT_EQ(Held(main).Document()->Glob(0).value, 2.5f);
    EXPECT_EQ(Text(page(), IDC_GLOB_VALUE), "2.500000");
    std::setlocale(LC_ALL, previous.c_str());
}

TEST_F(GlobPageTest, ADetachedPageDoesNothingUntilItsNextActivation) {
    SaveBuilder save;
    save.Header().Glob("a", 1).Glob("b", 2);
    OpenGlobs(save);
    page().Attach(nullptr);
    Choose(1);
    Confirm("9");
    EXPECT_EQ(Text(page(), IDC_GLOB_NAME), "a");
    EXPECT_EQ(Text(page(), IDC_GLOB_VALUE), "9");  // the typed text stays, nothing stored
    EXPECT_FALSE(Held(main).Document()->Glob(0).modified);
    ShowPage(0);
    ShowPage(1);
    EXPECT_EQ(Entries(page(), IDC_GLOB_LIST).size(), 0u);
    EXPECT_FALSE(IsEnabled(page(), IDC_GLOB_LIST));
    EXPECT_TRUE(ConfirmEnabled());
    Confirm("7");
    EXPECT_FALSE(Held(main).Document()->Glob(0).modified);
}

TEST_F(GlobPageTest, SelectionAndFieldsSurviveASwitchOfPages) {
    SaveBuilder save;
    save.Header().Glob("a", 1).Glob("b", 2);
    OpenGlobs(save);
    Choose(1);
    Type(page(), IDC_GLOB_VALUE, "typed");
    ShowPage(0);
    ShowPage(1);
    EXPECT_EQ(Text(page(), IDC_GLOB_NAME), "b");
    EXPECT_EQ(Text(page(), IDC_GLOB_VALUE), "typed");
}

TEST_F(GlobPageTest, ChoosingWithTheKeyboardShowsTheEntry) {
    SaveBuilder save;
    save.Header().Glob("a", 1).Glob("b", 2);
    OpenGlobs(save);
    PressDown(page(), IDC_GLOB_LIST);
    EXPECT_EQ(Text(page(), IDC_GLOB_NAME), "b");
    EXPECT_EQ(Text(page(), IDC_GLOB_VALUE), "2.000000");
}

TEST_F(GlobPageTest, TwoConfirmedValuesAreWrittenAndShownAfterTheReload) {
    SaveBuilder save;
    save.Header().Glob("Day", 1).Glob("Month", 2).Glob("Year", 3).Filler(100).Player();
    const std::string path = WriteSave(save);
    ClickOpen(path);
    ShowPage(1);
    Choose(0);  // Day
    Confirm("15");
    Choose(2);  // Year
    Confirm("427.5");
    ClickCommit();

    std::string expected = save.Bytes();
    for (const auto& [name, value] : {std::pair{"Day", 15.0f}, {"Year", 427.5f}}) {
        const size_t valueAt =
            expected.find(std::string(name) + '\0') + std::strlen(name) + 1 + 8 + 1 + 8;
        expected.replace(valueAt, 4, FloatBytes(value));
    }
    EXPECT_EQ(ReadFileBytes(path), expected);
    ShowPage(1);
    EXPECT_EQ(Text(page(), IDC_GLOB_VALUE), "15.000000");
    Choose(2);
    EXPECT_EQ(Text(page(), IDC_GLOB_VALUE), "427.500000");
}

TEST(HexDump, RendersEachByteWithASpace) {
    std::string text = "old";
    const uint8_t bytes[] = {0, 10, 255};
    ui::CPSDlgGLOB::HexDump(text, bytes, 3);
    EXPECT_EQ(text, "00 0A FF ");
    ui::CPSDlgGLOB::HexDump(text, bytes, 0);
    EXPECT_EQ(text, "");
    ui::CPSDlgGLOB::HexDump(text, bytes, -2);
    EXPECT_EQ(text, "");
}

}  // namespace
}  // namespace quellhart::test
