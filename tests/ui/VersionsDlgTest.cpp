// The earlier versions from the help window: listed with what changed in the next,
// one chosen and put back after the question, and the save loaded again.
#include <chrono>
#include <filesystem>

#include "res/Messages.h"
#include "savefile/SaveHistory.h"
#include "tests/ui/GuiTestBase.h"
#include "ui/EditorApp.h"

namespace quellhart::test {
namespace {

namespace fs = std::filesystem;

class VersionsTest : public GuiTest {
protected:
    void SetUp() override { Prepare("save.ess"); }
    // The save `name` with three commits behind it, opened in the window, and Help.
    void Prepare(const std::string& name) {
        path = WriteSave(StandardSave(), name);
        Stamp(0);
        // Three commits, a second apart: the original and Ann among the versions, Bea
        // the backup, Cid the save.
        int second = 0;
        for (const char* name : {"Ann", "Bea", "Cid"}) {
            CSaveGame doc;
            ASSERT_TRUE(doc.Open(path) && doc.Load());
            PlayerRecord record = doc.Player();
            record[PlayerRecord::FNAM] = Subrecord::FromText(name);
            doc.SetPlayerData(record);
            ASSERT_TRUE(doc.Commit());
            Stamp(++second);
        }
        app.m_pMainWnd = &main;
        ClickOpen(path);
        main.ShowHelp();
    }
    void TearDown() override { app.m_pMainWnd = nullptr; }
    void Stamp(int second) {
        fs::last_write_time(path, fs::file_time_type::clock::now() - std::chrono::hours(1) +
                                      std::chrono::seconds(second));
    }
    // Clicks "Versions..." in the help window and, while the versions are listed,
    // does `act` with their window.
    void WithVersions(const std::function<void(ui::CVersionsDlg&)>& act) {
        const bool shown =
            WhileModal([&] { ClickButtonLabelled(main.HelpWindow(), messages::kHelpVersions); },
                       [&] {
                           ui::CVersionsDlg* versions = Held(main).Versions();
                           ASSERT_NE(versions, nullptr);
                           act(*versions);
                       });
        EXPECT_TRUE(shown);
    }

    ui::CEditorApp app;
    std::string path;
};

// The game saves while the versions are listed: nothing is loaded under the open
// window; once it closes, the window follows the game.
TEST_F(VersionsTest, AGameSaveWhileTheVersionsAreListedIsLoadedOnceTheyClose) {
    WithVersions([&](ui::CVersionsDlg& versions) {
        StandardSave().WriteTo(path + ".tmp");
        fs::rename(path + ".tmp", path);
        EXPECT_FALSE(RunEventsUntil([&] { return !Text(main, IDC_DISK_STATUS).empty(); }, 1500));
        Click(versions, IDC_VERSION_CLOSE);
    });
    EXPECT_TRUE(RunEventsUntil(
        [&] { return Text(main, IDC_DISK_STATUS) == messages::kReloadedFromDisk; }, 3000));
    EXPECT_EQ(Held(main).Document()->Player()[PlayerRecord::FNAM].Text(), "Bob");
}

TEST_F(VersionsTest, ListsEachVersionWithWhatChangedInTheNext) {
    WithVersions([&](ui::CVersionsDlg& versions) {
        // Over the help window, their middles a few pixels (a frame) apart at most.
        const Bounds shown = ScreenBoundsOf(versions.GetSafeHwnd());
        const Bounds owner = ScreenBoundsOf(main.HelpWindow());
        EXPECT_NEAR(shown.left + shown.right, owner.left + owner.right, 8);
        EXPECT_NEAR(shown.top + shown.bottom, owner.top + owner.bottom, 8);
        const std::vector<std::string> entries = Entries(versions, IDC_VERSION_LIST);
        ASSERT_EQ(entries.size(), 3u);
        EXPECT_NE(entries[0].find("(the original)"), std::string::npos) << entries[0];
        EXPECT_NE(entries[2].find("(the backup)"), std::string::npos) << entries[2];
        EXPECT_EQ(entries[0].rfind("1   ", 0), 0u) << entries[0];
        // The newest is chosen first; its next is the save itself.
        EXPECT_EQ(Text(versions, IDC_VERSION_CHANGES), "name: \"Bea\" -> \"Cid\"");
        Choose(versions, IDC_VERSION_LIST, 0);
        EXPECT_EQ(Text(versions, IDC_VERSION_CHANGES), "name: \"Bob\" -> \"Ann\"");
        Click(versions, IDC_VERSION_CLOSE);
    });
    EXPECT_TRUE(prompts->messages.empty());
}

// Restore, answered Yes or No, or Close: the save is the chosen version byte for byte
// only after a Yes, and the save it replaced is then a version; the window shows what
// is on disk.
TEST_F(VersionsTest, TheChosenVersionIsPutBackAfterTheQuestion) {
    struct Case {
        int chosen;
        int button;  // IDC_VERSION_RESTORE or IDC_VERSION_CLOSE
        int answer;
        const char* nameAfter;
    };
    const Case cases[] = {
        {0, IDC_VERSION_RESTORE, ui::IDYES, "Bob"}, {1, IDC_VERSION_RESTORE, ui::IDYES, "Ann"},
        {2, IDC_VERSION_RESTORE, ui::IDYES, "Bea"}, {0, IDC_VERSION_RESTORE, ui::IDNO, "Cid"},
        {0, IDC_VERSION_CLOSE, ui::IDYES, "Cid"},
    };
    int row = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.chosen) + " " + std::to_string(c.button) + " " +
                     std::to_string(c.answer));
        // A save of its own for each row: the window lets go of the last one first.
        ClickOpen(std::nullopt);
        Prepare("row" + std::to_string(++row) + ".ess");
        std::vector<SaveVersion> before;
        ASSERT_TRUE(ListVersions(SystemFileSystem(), path, before).Ok());
        ASSERT_EQ(before.size(), 3u);
        const std::string saveBefore = ReadFileBytes(path);
        const std::string chosenBytes = ReadFileBytes(before[size_t(c.chosen)].path);
        prompts->messages.clear();
        prompts->messageAnswers = {c.answer};
        WithVersions([&](ui::CVersionsDlg& versions) {
            Choose(versions, IDC_VERSION_LIST, c.chosen);
            Click(versions, c.button);
        });
        const bool restored = c.button == IDC_VERSION_RESTORE && c.answer == ui::IDYES;
        if (c.button == IDC_VERSION_RESTORE) {
            ASSERT_GE(prompts->messages.size(), 1u);
            EXPECT_EQ(prompts->messages[0].text, messages::kConfirmRestoreVersion);
        }
        if (restored) {
            ASSERT_EQ(prompts->messages.size(), 2u);
            EXPECT_EQ(prompts->messages[1].text, messages::kVersionRestored);
        }
        EXPECT_EQ(ReadFileBytes(path), restored ? chosenBytes : saveBefore);
        ASSERT_NE(Held(main).Document(), nullptr);
        EXPECT_EQ(Text(Held(main).PlayerPage(), IDC_PLAYER_NAME), c.nameAfter);
        // Nothing is lost: the save it replaced is a version now.
        std::vector<SaveVersion> after;
        ASSERT_TRUE(ListVersions(SystemFileSystem(), path, after).Ok());
        bool replacedKept = !restored;
        for (const SaveVersion& version : after)
            replacedKept = replacedKept || ReadFileBytes(version.path) == saveBefore;
        EXPECT_TRUE(replacedKept);
        EXPECT_EQ(after.size(), before.size());
    }
}

// A save with no versions has an empty list and nothing to restore.
TEST_F(VersionsTest, NothingToListSaysSo) {
    for (const auto& entry : fs::directory_iterator(dir.Path()))
        if (entry.path() != fs::path(path)) fs::remove_all(entry);
    ClickOpen(path);
    WithVersions([&](ui::CVersionsDlg& versions) {
        EXPECT_TRUE(Entries(versions, IDC_VERSION_LIST).empty());
        EXPECT_EQ(Text(versions, IDC_VERSION_CHANGES), messages::kNoVersions);
        EXPECT_FALSE(IsEnabled(versions, IDC_VERSION_RESTORE));
        Click(versions, IDC_VERSION_CLOSE);
    });
}

}  // namespace
}  // namespace quellhart::test
