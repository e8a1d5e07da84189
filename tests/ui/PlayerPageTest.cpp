// The "Player Data" page: its refill rules, the race and class lists, the chargen
// warning, and a whole edit through the widgets.
#include <algorithm>

#include "codepage/CodePage.h"
#include "res/ControlIds.h"
#include "res/DialogTemplates.h"
#include "tests/ui/GuiTestBase.h"

namespace quellhart::test {
namespace {

class PlayerPageTest : public GuiTest {
protected:
    ui::CPSDlgPlayerData& page() { return Held(main).PlayerPage(); }
    std::vector<std::string> Entries(int id) { return GuiTest::Entries(page(), id); }
    int CountOf(int id, const std::string& text) {
        const auto entries = Entries(id);
        return int(std::count(entries.begin(), entries.end(), text));
    }
    // Opens a save whose player has these texts.
    void OpenPlayer(const PlayerTexts& texts, bool chargenClass = false,
                    const char* name = "save.ess") {
        SaveBuilder save;
        save.Header().Glob("Day", 1.0f);
        if (chargenClass) save.Clas("NEWCLASSID_CHARGEN");
        save.Player(texts);
        ClickOpen(WriteSave(save, name));
        ASSERT_NE(Held(main).Document(), nullptr) << prompts->messages.back().text;
    }
    static PlayerTexts WithRaceAndClass(std::string race, std::string cls) {
        PlayerTexts texts;
        texts.race = std::move(race);
        texts.cls = std::move(cls);
        return texts;
    }
    size_t Warnings() const {
        return size_t(std::count_if(prompts->messages.begin(), prompts->messages.end(),
                                    [](const auto& m) { return m.caption == "Warning"; }));
    }
};

TEST_F(PlayerPageTest, BeforeAnyFileTheListsHoldTheirInitialEntriesDisabled) {
    for (int id : {IDC_PLAYER_RAW_ADDRESS, IDC_PLAYER_NAME, IDC_PLAYER_HEAD, IDC_PLAYER_HAIR})
        EXPECT_EQ(Text(page(), id), "") << id;
    EXPECT_FALSE(IsEnabled(page(), IDC_PLAYER_RACE));
    EXPECT_FALSE(IsEnabled(page(), IDC_PLAYER_CLASS));
    EXPECT_EQ(Entries(IDC_PLAYER_RACE),
              (std::vector<std::string>{"Argonian", "Breton", "Dark Elf", "High Elf", "Imperial",
                                        "Khajiit", "Nord", "Orc", "Redguard", "Wood Elf"}));
    const auto classes = Entries(IDC_PLAYER_CLASS);
    ASSERT_EQ(classes.size(), 22u);
    EXPECT_EQ(classes.front(), "Acrobat");
    EXPECT_EQ(classes[1], "Agent");
    EXPECT_EQ(classes.back(), "Witchhunter");
    EXPECT_TRUE(std::is_sorted(classes.begin(), classes.end()));
}

TEST_F(PlayerPageTest, ShowsTheDocumentsTexts) {
    OpenPlayer(WithRaceAndClass("Nord", "Warrior"));
    EXPECT_EQ(Text(page(), IDC_PLAYER_NAME), "Bob");
    EXPECT_EQ(Text(page(), IDC_PLAYER_RACE), "Nord");
    EXPECT_EQ(Text(page(), IDC_PLAYER_CLASS), "Warrior");
    EXPECT_EQ(Text(page(), IDC_PLAYER_HEAD), "b_n_nord_m_head_01");
    EXPECT_EQ(Text(page(), IDC_PLAYER_HAIR), "b_n_nord_m_hair_02");
    EXPECT_TRUE(IsEnabled(page(), IDC_PLAYER_RACE));
    EXPECT_TRUE(IsEnabled(page(), IDC_PLAYER_CLASS));
}

TEST_F(PlayerPageTest, OffsetIsShownInUpperCaseHex) {
    SaveBuilder save;
    save.Raw("TES3").Glob("Day", 1.0f).PadTo(255).Player();
    ClickOpen(WriteSave(save));
    EXPECT_EQ(Text(page(), IDC_PLAYER_RAW_ADDRESS), "0xFF");
}

TEST_F(PlayerPageTest, DetachedPageShowsSpacesAndKeepsItsLists) {
    OpenPlayer(WithRaceAndClass("Orc", "Thief"));
    page().Attach(nullptr);
    EXPECT_EQ(Text(page(), IDC_PLAYER_NAME), "Bob");  // nothing changes before the activation
    Held(main).Sheet().SetActivePage(0);
    for (int id : {IDC_PLAYER_RAW_ADDRESS, IDC_PLAYER_NAME, IDC_PLAYER_HEAD, IDC_PLAYER_HAIR})
        EXPECT_EQ(Text(page(), id), " ") << id;
    EXPECT_FALSE(IsEnabled(page(), IDC_PLAYER_RACE));
    EXPECT_FALSE(IsEnabled(page(), IDC_PLAYER_CLASS));
    EXPECT_EQ(Text(page(), IDC_PLAYER_RACE), "Orc");
    EXPECT_EQ(Text(page(), IDC_PLAYER_CLASS), "Thief");
    EXPECT_EQ(Entries(IDC_PLAYER_RACE).size(), 10u);
}

TEST_F(PlayerPageTest, EmptyStoredRaceSelectsTheSecondEntryAndCommitsIt) {
    OpenPlayer(WithRaceAndClass("", ""));
    EXPECT_EQ(Text(page(), IDC_PLAYER_RACE), "Breton");
    EXPECT_EQ(Text(page(), IDC_PLAYER_CLASS), "Agent");
    ClickCommit();
    EXPECT_EQ(Held(main).Document()->Player()[PlayerRecord::RNAM].Text(), "Breton");
    EXPECT_EQ(Held(main).Document()->Player()[PlayerRecord::CNAM].Text(), "Agent");
}

TEST_F(PlayerPageTest, ListEntriesAreFoundByPrefixInAnyCase) {
    OpenPlayer(WithRaceAndClass("dark elf", "Mag"));
    EXPECT_EQ(Text(page(), IDC_PLAYER_RACE), "Dark Elf");
    EXPECT_EQ(Text(page(), IDC_PLAYER_CLASS), "Mage");
    ClickCommit();
    EXPECT_EQ(Held(main).Document()->Player()[PlayerRecord::RNAM].Text(), "Dark Elf");
    EXPECT_EQ(Held(main).Document()->Player()[PlayerRecord::CNAM].Text(), "Mage");
}

TEST_F(PlayerPageTest, AnUnknownClassIsAddedOnceForAllLaterDocuments) {
    OpenPlayer(WithRaceAndClass("Lizard", "Tinker"));
    EXPECT_EQ(Text(page(), IDC_PLAYER_RACE), "Lizard");
    EXPECT_EQ(Text(page(), IDC_PLAYER_CLASS), "Tinker");
    OpenPlayer(WithRaceAndClass("Nord", "Tinker"), false, "other.ess");
    EXPECT_EQ(CountOf(IDC_PLAYER_CLASS, "Tinker"), 1);
    EXPECT_EQ(CountOf(IDC_PLAYER_RACE, "Lizard"), 1);
    EXPECT_EQ(Text(page(), IDC_PLAYER_CLASS), "Tinker");
}

TEST_F(PlayerPageTest, ChargenClassWithoutItsDefinitionWarnsOncePerAttach) {
    OpenPlayer(WithRaceAndClass("Nord", "NEWCLASSID_CHARGEN"));
    ASSERT_EQ(Warnings(), 1u);
    const auto& warning = prompts->messages.back();
    EXPECT_EQ(warning.text,
              "In-game generated class ID detected (NEWCLASSID_CHARGEN)\nbut no matching class "
              "definition found!");
    EXPECT_EQ(warning.type, ui::MB_OK | ui::MB_ICONEXCLAMATION);
    EXPECT_EQ(Text(page(), IDC_PLAYER_CLASS), "NEWCLASSID_CHARGEN");
    ShowPage(1);
    ShowPage(0);
    EXPECT_EQ(Warnings(), 1u);
    // The next document without the class: the entry from before is gone.
    OpenPlayer(WithRaceAndClass("Nord", "Thief"), false, "other.ess");
    EXPECT_EQ(CountOf(IDC_PLAYER_CLASS, "NEWCLASSID_CHARGEN"), 0);
}

// A class whose name begins with the chargen id is such a class; one that stops
// short of it is not.
TEST_F(PlayerPageTest, TheWarningComesForEveryClassThatBeginsWithTheChargenId) {
    const std::pair<const char*, size_t> classes[] = {
        {"NEWCLASSID_CHARGEN2", 1}, {"NEWCLASSID_CHARGE", 0}, {"newclassid_chargen", 0}};
    for (const auto& [playerClass, warnings] : classes) {
        const size_t before = Warnings();
        OpenPlayer(WithRaceAndClass("Nord", playerClass), false,
                   (std::string(playerClass) + ".ess").c_str());
        EXPECT_EQ(Warnings() - before, warnings) << playerClass;
    }
}

TEST_F(PlayerPageTest, ChargenClassWithItsDefinitionIsListedOnceWithoutAWarning) {
    OpenPlayer(WithRaceAndClass("Nord", "NEWCLASSID_CHARGEN"), true);
    EXPECT_EQ(Warnings(), 0u);
    EXPECT_EQ(CountOf(IDC_PLAYER_CLASS, "NEWCLASSID_CHARGEN"), 1);
    EXPECT_EQ(Text(page(), IDC_PLAYER_CLASS), "NEWCLASSID_CHARGEN");
    OpenPlayer(WithRaceAndClass("Nord", "NEWCLASSID_CHARGEN"), true, "other.ess");
    EXPECT_EQ(CountOf(IDC_PLAYER_CLASS, "NEWCLASSID_CHARGEN"), 1);
}

TEST_F(PlayerPageTest, TypingSurvivesASwitchToTheOtherPage) {
    OpenPlayer({});
    Type(page(), IDC_PLAYER_NAME, "Typed");
    Type(page(), IDC_PLAYER_RACE, "Half-Orc");
    ShowPage(1);
    ShowPage(0);
    EXPECT_EQ(Text(page(), IDC_PLAYER_NAME), "Typed");
    EXPECT_EQ(Text(page(), IDC_PLAYER_RACE), "Half-Orc");
}

TEST_F(PlayerPageTest, AWholeEditThroughTheWidgetsIsWrittenAndShownAfterTheReload) {
    const SaveBuilder original = StandardSave();
    const std::string path = WriteSave(original);
    ClickOpen(path);

    Type(page(), IDC_PLAYER_NAME, "Bobbert");
    PressDown(page(), IDC_PLAYER_RACE);              // Nord: one down is Orc
    const auto classes = Entries(IDC_PLAYER_CLASS);  // chosen with the mouse from the list
    Choose(page(), IDC_PLAYER_CLASS,
           int(std::find(classes.begin(), classes.end(), "Knight") - classes.begin()));
    Type(page(), IDC_PLAYER_HEAD, "head_new");
    Type(page(), IDC_PLAYER_HAIR, "hair_new");
    EXPECT_EQ(Text(page(), IDC_PLAYER_RACE), "Orc");
    EXPECT_EQ(Text(page(), IDC_PLAYER_CLASS), "Knight");
    ClickCommit();

    const std::string written = ReadFileBytes(path);
    const size_t playerAt = original.Bytes().find("NPC_");
    SaveBuilder expectedPlayer;
    PlayerTexts texts;
    texts.name = "Bobbert";
    texts.race = "Orc";
    texts.cls = "Knight";
    texts.head = "head_new";
    texts.hair = "hair_new";
    expectedPlayer.Player(texts);
    // The same save with the new player record, its size word included, in place of
    // the old one.
    const size_t oldRecordEnd = playerAt + SaveBuilder().Player().Bytes().size();
    EXPECT_EQ(written, original.Bytes().substr(0, playerAt) + expectedPlayer.Bytes() +
                           original.Bytes().substr(oldRecordEnd));
    for (const auto& [id, text] : {std::pair{IDC_PLAYER_NAME, "Bobbert"},
                                   {IDC_PLAYER_RACE, "Orc"},
                                   {IDC_PLAYER_CLASS, "Knight"},
                                   {IDC_PLAYER_HEAD, "head_new"},
                                   {IDC_PLAYER_HAIR, "hair_new"}})
        EXPECT_EQ(Text(page(), id), text) << id;
}

// The save holds at most 49 Windows-1252 bytes of each text: a field takes no more
// as typed, and a character the code page lacks is named before anything is written.
TEST_F(PlayerPageTest, TextsTheSaveCannotHoldAreStoppedWhereTheyAreTyped) {
    const std::string path = WriteSave(StandardSave());
    ClickOpen(path);
    const std::string tooLong(60, 'x');
    for (int id :
         {IDC_PLAYER_NAME, IDC_PLAYER_RACE, IDC_PLAYER_CLASS, IDC_PLAYER_HEAD, IDC_PLAYER_HAIR}) {
        Type(page(), id, tooLong);
        EXPECT_EQ(Text(page(), id), tooLong.substr(0, 49)) << id;
    }
    Type(page(), IDC_PLAYER_HEAD, "b_n_nord_\xCF\x89_head");  // omega
    const size_t shown = prompts->messages.size();
    ClickCommit();
    ASSERT_EQ(prompts->messages.size(), shown + 1);
    EXPECT_EQ(prompts->messages.back().caption, "Error");
    EXPECT_EQ(prompts->messages.back().text.rfind("Head Model: ", 0), 0u);
    EXPECT_TRUE(HasFocus(page(), IDC_PLAYER_HEAD));
    EXPECT_EQ(ReadFileBytes(path), StandardSave().Bytes());
}

// A player's own letters, in the code page their save was played in: shown, typed and
// committed as that code page's bytes; a letter it lacks is named with the code page.
TEST_F(PlayerPageTest, EachCodePageShowsAndCommitsItsPlayersLetters) {
    struct Row {
        int codePage;
        const char *stored, *shown, *typed, *written;
        const char* reloaded = nullptr;  // where not as typed
    };
    const Row rows[] = {
        {1251, "\xC8\xE2\xE0\xED", "Иван", "Пётр", "\xCF\xB8\xF2\xF0"},
        {1250, "\xA3ukasz", "Łukasz", "Żółć", "\xAF\xF3\xB3\xE6"},
        {1252, "J\xE9r\xF4me", "Jérôme", "Dragón", "Drag\xF3n"},
        // Vietnamese: a letter and a combining tone mark, shown composed, typed composed
        // (as keyboards give it) or decomposed.
        {1258, "Tr\xE2\xCCn", "Trần", "Nguyễn", "Nguy\xEA\xDEn"},
        {1258, "Tr\xE2\xCCn", "Trần", "Nguye\u0302\u0303n", "Nguy\xEA\xDEn", "Nguyễn"},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.codePage);
        const UsingCodePage codePage(row.codePage);
        OpenPlayer({row.stored});
        EXPECT_EQ(ShownText(page(), IDC_PLAYER_NAME), row.shown);
        Type(page(), IDC_PLAYER_NAME, row.typed);
        ClickCommit();
        EXPECT_EQ(prompts->messages.back().caption, "Done");
        EXPECT_NE(ReadFileBytes(dir.File("save.ess")).find(std::string(row.written) + '\0'),
                  std::string::npos);
        EXPECT_EQ(ShownText(page(), IDC_PLAYER_NAME), row.reloaded ? row.reloaded : row.typed);
    }
    // The character that cannot be stored is named.
    for (const auto& [number, typed, character] :
         {std::tuple{1252, "Пётр", "П"}, std::tuple{1251, "Łukasz", "Ł"}}) {
        const UsingCodePage codePage(number);
        Type(page(), IDC_PLAYER_NAME, typed);
        ClickCommit();
        EXPECT_EQ(prompts->messages.back().text,
                  std::string("Name: this text holds '") + character +
                      "', which a save cannot store (only the characters of Windows-" +
                      std::to_string(number) + "). Nothing was written.");
    }
}

}  // namespace
}  // namespace quellhart::test
