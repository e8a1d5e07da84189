// The main window: opening, committing and reloading a save, and the frame around.
#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>

#include "res/ControlIds.h"
#include "res/DialogTemplates.h"
#include "res/Messages.h"
#include "savefile/SaveErrors.h"
#include "tests/support/ExclusiveWrite.h"
#include "tests/support/ScopedVariable.h"
#include "tests/ui/GuiTestBase.h"
#include "ui/EditorApp.h"
#include "ui/WaitDlg.h"

namespace quellhart::test {
namespace {

namespace fs = std::filesystem;
using ui::MB_ICONEXCLAMATION;
using ui::MB_ICONINFORMATION;
using ui::MB_OK;
using ui::MB_YESNO;

constexpr unsigned kQuestion = MB_YESNO | MB_ICONEXCLAMATION;  // 52
constexpr unsigned kError = MB_OK | MB_ICONEXCLAMATION;        // 48
constexpr unsigned kInformation = MB_OK | MB_ICONINFORMATION;  // 64
const char* const kProceed = "Now the changes will be written to file.\n\n\nProceed?";
const char* const kBackupExists = "Backup exists for this savegame.\n Will be deleted\n\nProceed?";

class MainDlgTest : public GuiTest {};

TEST_F(MainDlgTest, StartsEmptyWithTheTemplatesTextsAndTabs) {
    ui::CWnd window;
    window.Attach(main.Window());
    EXPECT_EQ(window.GetWindowText(100), "Quellhart Savegame Editor 2.1");
    EXPECT_EQ(Held(main).Document(), nullptr);
    EXPECT_FALSE(CommitEnabled());
    EXPECT_EQ(Label(), "");
    EXPECT_EQ(Text(main, IDC_OPEN_FILE), "OpenFile");
    EXPECT_EQ(Text(main, IDC_COMMIT_CHANGES), "CommitChanges");
    EXPECT_EQ(Text(main, ID_HELP), "Help");
    EXPECT_EQ(TabTexts(Held(main).Sheet()),
              (std::vector<std::string>{"Player Data", "Global Variables"}));
    EXPECT_EQ(Held(main).Sheet().GetActiveIndex(), 0);
    // A page not yet shown keeps its template's texts: it has not been activated.
    EXPECT_EQ(Text(Held(main).GlobPage(), IDC_GLOB_RAW_ADDRESS), "Raw Address");
    // The sheet stays left of the buttons and above the file label.
    const Bounds sheet = BoundsOf(Held(main).Sheet().GetSafeHwnd());
    EXPECT_LE(sheet.right, BoundsOf(main.GetDlgItem(IDC_OPEN_FILE)).left);
    EXPECT_LE(sheet.bottom, BoundsOf(main.GetDlgItem(IDC_ACTIVE_FILE)).top);
}

TEST_F(MainDlgTest, OpeningASaveShowsItOnThePlayerPage) {
    const std::string path = WriteSave(StandardSave());
    ShowPage(1);
    ClickOpen(path);
    ASSERT_NE(Held(main).Document(), nullptr);
    EXPECT_TRUE(prompts->messages.empty());
    ASSERT_EQ(prompts->fileDialogs.size(), 1u);
    EXPECT_EQ(prompts->fileDialogs[0].defaultExtension, "ess");
    EXPECT_EQ(prompts->fileDialogs[0].filter, "Quellhart save Files (*.ess)|*.ess||");
    EXPECT_EQ(Label(), path);
    EXPECT_TRUE(CommitEnabled());
    EXPECT_EQ(Held(main).Sheet().GetActiveIndex(), 0);
    EXPECT_EQ(Text(Held(main).PlayerPage(), IDC_PLAYER_NAME), "Bob");
}

// An edited save a stopped commit left beside the save is kept among the versions,
// and the window says where, after the save is shown.
TEST_F(MainDlgTest, AnEditedSaveKeptAtOpenIsNamed) {
    const std::string path = WriteSave(StandardSave());
    const std::string edited = WriteSave(StandardSave().Filler(100), "save.out");
    ClickOpen(path);
    ASSERT_NE(Held(main).Document(), nullptr);
    ASSERT_EQ(prompts->messages.size(), 1u);
    EXPECT_EQ(prompts->messages[0].text, errors::kEditKeptAsVersion);
    EXPECT_EQ(prompts->messages[0].caption, "Warning");
    EXPECT_EQ(prompts->messages[0].type, kInformation);
    const std::string& details = prompts->messages[0].details;
    EXPECT_NE(details.find(fs::path(path).parent_path().string()), std::string::npos) << details;
    EXPECT_FALSE(fs::exists(edited));
    EXPECT_EQ(Text(Held(main).PlayerPage(), IDC_PLAYER_NAME), "Bob");
}

TEST_F(MainDlgTest, FailedOpensReportTheDocumentsErrorAndLeaveTheWindowEmpty) {
    const std::string notASave = WriteSave(SaveBuilder().Raw("garbage"), "bad.ess");
    ClickOpen(notASave);
    ASSERT_EQ(prompts->messages.size(), 1u);
    EXPECT_EQ(prompts->messages[0].text, errors::kNotASave);
    EXPECT_EQ(prompts->messages[0].caption, "Error");
    EXPECT_EQ(prompts->messages[0].type, kError);
    EXPECT_EQ(Held(main).Document(), nullptr);
    EXPECT_EQ(Label(), "");
    EXPECT_FALSE(CommitEnabled());

    ClickOpen(WriteSave(StandardSave()));
    ASSERT_TRUE(IsEnabled(Held(main).PlayerPage(), IDC_PLAYER_NAME));
    ClickOpen(WriteSave(SaveBuilder().Raw("TES3"), "noglobs.ess"));
    EXPECT_EQ(prompts->messages.back().text, errors::kNoGlobSection);
    // Nothing of the save before stays, and nothing takes typing.
    EXPECT_EQ(Text(Held(main).PlayerPage(), IDC_PLAYER_NAME), " ");
    for (const int field : {IDC_PLAYER_NAME, IDC_PLAYER_HEAD, IDC_PLAYER_HAIR, IDC_PLAYER_RACE})
        EXPECT_FALSE(IsEnabled(Held(main).PlayerPage(), field)) << field;

    const std::string capitals = WriteSave(StandardSave(), "CAPS.ESS");
    ClickOpen(capitals);
    EXPECT_EQ(prompts->messages.back().text, errors::kNoEssInName);
    EXPECT_TRUE(fs::exists(capitals));
}

TEST_F(MainDlgTest, CancellingTheFileDialogLeavesTheWindowEmpty) {
    ClickOpen(WriteSave(StandardSave()));
    ClickOpen(std::nullopt);
    EXPECT_EQ(Held(main).Document(), nullptr);
    EXPECT_EQ(Label(), "");
    EXPECT_TRUE(CommitEnabled());  // never disabled again
    EXPECT_EQ(Text(Held(main).PlayerPage(), IDC_PLAYER_NAME), " ");
    EXPECT_FALSE(IsEnabled(Held(main).PlayerPage(), IDC_PLAYER_HAIR));
    // With no document, CommitChanges does nothing at all.
    ClickCommit();
    EXPECT_TRUE(prompts->messages.empty());

    // A dialog that fails to show says why, and the save open stays open.
    const std::string path = WriteSave(StandardSave());
    ClickOpen(path);
    prompts->fileDialogFailure = "The file dialog failed (CommDlgExtendedError 0xFFFF)";
    ClickOpen(std::nullopt);
    ASSERT_EQ(prompts->messages.size(), 1u);
    EXPECT_EQ(prompts->messages[0].text, messages::kFileDialogFailed);
    EXPECT_EQ(prompts->messages[0].details, "The file dialog failed (CommDlgExtendedError 0xFFFF)");
    ASSERT_NE(Held(main).Document(), nullptr);
    EXPECT_EQ(Label(), path);
}

class CommitTest : public MainDlgTest {
protected:
    void SetUp() override {
        path = WriteSave(StandardSave());
        ClickOpen(path);
        ASSERT_NE(Held(main).Document(), nullptr);
    }
    std::string BackupPath() const { return dir.File("save.bak"); }
    std::string path;
};

TEST_F(CommitTest, AnsweringNoWritesNothingAndKeepsTheEdits) {
    Type(Held(main).PlayerPage(), IDC_PLAYER_NAME, "Unsaved");
    CSaveGame* document = Held(main).Document();
    ClickCommit({ui::IDNO});
    ASSERT_EQ(prompts->messages.size(), 1u);
    EXPECT_EQ(prompts->messages[0].text, kProceed);
    EXPECT_EQ(prompts->messages[0].caption, "Please Confirm");
    EXPECT_EQ(prompts->messages[0].type, kQuestion);
    EXPECT_EQ(Held(main).Document(), document);
    EXPECT_EQ(Text(Held(main).PlayerPage(), IDC_PLAYER_NAME), "Unsaved");
    EXPECT_EQ(ReadFileBytes(path), StandardSave().Bytes());
    EXPECT_FALSE(fs::exists(BackupPath()));
}

TEST_F(CommitTest, AnExistingBackupIsAskedAboutFirst) {
    SaveBuilder().Raw("old backup").WriteTo(BackupPath());
    ClickCommit({ui::IDYES, ui::IDNO});
    ASSERT_EQ(prompts->messages.size(), 2u);
    EXPECT_EQ(prompts->messages[1].text, kBackupExists);
    EXPECT_EQ(prompts->messages[1].details, messages::kBackupKeptAmongVersions);
    EXPECT_EQ(prompts->messages[1].caption, "Please Confirm");
    EXPECT_EQ(prompts->messages[1].type, kQuestion);
    EXPECT_EQ(ReadFileBytes(BackupPath()), "old backup");
    EXPECT_EQ(ReadFileBytes(path), StandardSave().Bytes());
}

TEST_F(CommitTest, ASuccessfulCommitReportsAndReloadsTheFile) {
    Type(Held(main).PlayerPage(), IDC_PLAYER_NAME, "Renamed");
    ShowPage(1);
    ClickCommit();
    ASSERT_EQ(prompts->messages.size(), 2u);
    EXPECT_EQ(
        prompts->messages[1].text,
        "File Recostruction Done.\nOriginal file backed up as .bak.\n\nNow newly Created file "
        "will be loaded into the editor.\nPlease check changes are ok.");
    EXPECT_EQ(prompts->messages[1].caption, "Done");
    EXPECT_EQ(prompts->messages[1].type, kInformation);
    EXPECT_EQ(ReadFileBytes(BackupPath()), StandardSave().Bytes());
    ASSERT_NE(Held(main).Document(), nullptr);
    EXPECT_EQ(Held(main).Document()->Player()[PlayerRecord::FNAM].Text(), "Renamed");
    EXPECT_EQ(Held(main).Sheet().GetActiveIndex(), 0);
    EXPECT_EQ(Text(Held(main).PlayerPage(), IDC_PLAYER_NAME), "Renamed");
    EXPECT_EQ(Label(), path);
}

// A previous backup that the versions folder cannot take (a file has its name) does not
// stop the commit: "Done" says beneath that it was replaced, and why.
TEST_F(CommitTest, DoneSaysWhenThePreviousBackupCouldNotBeKept) {
    SaveBuilder().Raw("old backup").WriteTo(BackupPath());
    SaveBuilder().Raw("mine").WriteTo(dir.File("save.history"));
    Type(Held(main).PlayerPage(), IDC_PLAYER_NAME, "Renamed");
    ClickCommit({ui::IDYES, ui::IDYES});
    ASSERT_EQ(prompts->messages.size(), 3u);
    EXPECT_EQ(prompts->messages[2].caption, "Done");
    const std::string& done = prompts->messages[2].text;
    EXPECT_EQ(done.rfind("File Recostruction Done.", 0), 0u) << done;
    EXPECT_NE(done.find("\n\n" + std::string(errors::kVersionNotKept) + "\n" +
                        dir.File("save.history") + ": Not a folder"),
              std::string::npos)
        << done;
    EXPECT_EQ(ReadFileBytes(BackupPath()), StandardSave().Bytes());
    EXPECT_EQ(ReadFileBytes(dir.File("save.history")), "mine");
}

TEST_F(CommitTest, WritesWhatTheLibraryAloneWritesForTheSameEdit) {
    Type(Held(main).PlayerPage(), IDC_PLAYER_HEAD, "new_head");
    ClickCommit();

    const std::string libraryPath = WriteSave(StandardSave(), "library.ess");
    CSaveGame doc;
    ASSERT_TRUE(doc.Open(libraryPath) && doc.Load());
    PlayerRecord record = doc.Player();
    record[PlayerRecord::BNAM] = Subrecord::FromText("new_head");
    doc.SetPlayerData(record);
    ASSERT_TRUE(doc.Commit());
    EXPECT_EQ(ReadFileBytes(path), ReadFileBytes(libraryPath));
}

TEST_F(CommitTest, TextsAreCommittedAsAtMost49CharactersAndEmptyAsAZero) {
    Type(Held(main).PlayerPage(), IDC_PLAYER_NAME, std::string(60, 'n'));
    Type(Held(main).PlayerPage(), IDC_PLAYER_HAIR, "");
    ClickCommit();
    const PlayerRecord& written = Held(main).Document()->Player();
    EXPECT_EQ(written[PlayerRecord::FNAM].Text(), std::string(49, 'n'));
    EXPECT_EQ(written[PlayerRecord::KNAM].data, std::vector<char>{'\0'});
}

// What keeps a commit from going through while the save stays as it was loaded, and
// how the user mends it.
struct Refusal {
    const char* why;
    const char* error;
    std::function<std::function<void()>(const std::string& path)> cause;  // returns the mend
    bool beforeOpen = false;  // the save is opened again once the cause is there
};

// The game holds the save (a lock on it) until it lets go.
std::function<void()> HeldByAnother(const std::string& path) {
    FileSystem& files = SystemFileSystem();
    FileHandle held = kNoFile;
    EXPECT_TRUE(files.OpenForReading(path, held).Ok());
    EXPECT_TRUE(files.TryLock(held).Ok());
    return [&files, held] {
        files.Unlock(held);
        files.Close(held);
    };
}

// A folder under the backup's name is no backup to ask about, and cannot be replaced by
// one, until the user moves it.
std::function<void()> FolderNamedLikeTheBackup(const std::string& path) {
    const fs::path backup = fs::path(path).replace_extension(".bak");
    fs::create_directories(backup / "inside");
    return [backup] { fs::remove_all(backup); };
}

#ifdef _WIN32
// The save's read-only attribute, which the system's replace refuses, until the user
// clears it.
std::function<void()> ReadOnlySave(const std::string& path) {
    fs::permissions(path, fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                    fs::perm_options::remove);
    return [path] { fs::permissions(path, fs::perms::owner_write, fs::perm_options::add); };
}
#endif

const Refusal kRefusals[] = {
    {"held", errors::kBeingWritten, HeldByAnother},
    {"backupIsAFolder", errors::kRenameSaveToBackup, FolderNamedLikeTheBackup},
#ifdef _WIN32
    {"readOnly", errors::kRenameSaveToBackup, ReadOnlySave, true},
#endif
};

class RefusedCommitTest : public CommitTest, public ::testing::WithParamInterface<Refusal> {};

// The error, and then the window as the user left it: the same document, the typed text
// and the confirmed value, the save untouched. Once the cause is mended, CommitChanges
// writes the same edits.
TEST_P(RefusedCommitTest, KeepsTheEditsForTheNextCommit) {
    const Refusal& refusal = GetParam();
    const std::function<void()> mend = refusal.cause(path);
    if (refusal.beforeOpen) ClickOpen(path);
    Type(Held(main).PlayerPage(), IDC_PLAYER_NAME, "Kept");
    ShowPage(1);
    Type(Held(main).GlobPage(), IDC_GLOB_VALUE, "7.25");
    ASSERT_TRUE(IsEnabled(Held(main).GlobPage(), IDC_CONFIRM_CHANGE));
    Click(Held(main).GlobPage(), IDC_CONFIRM_CHANGE);
    ShowPage(0);
    CSaveGame* document = Held(main).Document();
    ASSERT_TRUE(CommitEnabled());
    ClickCommit();
    ASSERT_EQ(prompts->messages.size(), 2u);  // proceed, the error
    EXPECT_EQ(prompts->messages[1].text, refusal.error);
    EXPECT_EQ(prompts->messages[1].caption, "Error");
    EXPECT_EQ(prompts->messages[1].type, kError);
    EXPECT_EQ(ReadFileBytes(path), StandardSave().Bytes());
    EXPECT_EQ(Held(main).Document(), document);
    EXPECT_EQ(Text(Held(main).PlayerPage(), IDC_PLAYER_NAME), "Kept");
    EXPECT_EQ(Text(Held(main).GlobPage(), IDC_GLOB_VALUE), "7.250000");

    mend();
    prompts->messages.clear();
    ASSERT_TRUE(CommitEnabled());
    ClickCommit();
    ASSERT_EQ(prompts->messages.size(), 2u);
    EXPECT_EQ(prompts->messages[1].caption, "Done");
    EXPECT_EQ(ReadFileBytes(BackupPath()), StandardSave().Bytes());
    CSaveGame written;
    ASSERT_TRUE(written.Open(path) && written.Load());
    EXPECT_EQ(written.Player()[PlayerRecord::FNAM].Text(), "Kept");
    EXPECT_EQ(written.Glob(0).value, 7.25f);
}

INSTANTIATE_TEST_SUITE_P(Commit, RefusedCommitTest, ::testing::ValuesIn(kRefusals),
                         [](const auto& info) { return std::string(info.param.why); });

// An attribute changed (as a user mends a refused commit) is no save of the game's:
// nothing is loaded again, and the commit asks nothing more.
TEST_F(CommitTest, AnAttributeChangedIsNoGameSave) {
    Type(Held(main).PlayerPage(), IDC_PLAYER_NAME, "Kept");
    fs::permissions(path, fs::perms::others_read, fs::perm_options::add);
    fs::permissions(path, fs::perms::others_read, fs::perm_options::remove);
    EXPECT_FALSE(RunEventsUntil([&] { return !Text(main, IDC_DISK_STATUS).empty(); }, 1000));
    ClickCommit();
    ASSERT_EQ(prompts->messages.size(), 2u);
    EXPECT_EQ(prompts->messages[1].caption, "Done");
}

// A commit whose undo failed leaves the new save under the name: it cannot go again on
// the save it was made on. The error says where each is, and the save on disk is shown.
TEST_F(CommitTest, ACommitThatCannotGoAgainShowsItsCauseAndTheSaveOnDisk) {
    if (!SystemExchangesNames()) GTEST_SKIP() << "the undo failing is that of an exchange";
    int exchanges = 0;
    files.InjectFaults([&](int, std::string_view call) {
        exchanges += call == "Exchange";
        // The exchange is not made durable, and the names do not go back.
        const bool fails =
            (exchanges == 1 && call == "SyncFolderOf") || (exchanges == 2 && call == "Exchange");
        return fails ? FileError::kFailed : FileError::kNone;
    });
    ASSERT_TRUE(CommitEnabled());
    ClickCommit();
    files.InjectFaults({});
    ASSERT_EQ(prompts->messages.size(), 2u);
    EXPECT_EQ(prompts->messages[1].text, errors::kRenameWorkToSave);
    EXPECT_EQ(prompts->messages[1].details,
              path + ": SyncFolderOf failed (injected)\nThe new save is in place; the old one is " +
                  dir.File("save.out") + ".");
    // Shown again, the save's Open has put the old one where the commit would have.
    EXPECT_EQ(ReadFileBytes(BackupPath()), StandardSave().Bytes());
    ASSERT_NE(Held(main).Document(), nullptr);
    EXPECT_TRUE(Held(main).Document()->CanCommit());  // the failed one could not
}

// "Open as read-only" ticked in the file dialog: the save shows as any other, and
// CommitChanges says why it writes nothing, asking nothing; the edits stay.
TEST_F(CommitTest, ASaveOpenedReadOnlyIsNeverWritten) {
    prompts->fileAnswers.push_back(ui::ChosenFile(path, true));
    ASSERT_TRUE(IsEnabled(main, IDC_OPEN_FILE));
    Click(main, IDC_OPEN_FILE);
    ASSERT_NE(Held(main).Document(), nullptr);
    EXPECT_EQ(Text(Held(main).PlayerPage(), IDC_PLAYER_NAME), "Bob");
    Type(Held(main).PlayerPage(), IDC_PLAYER_NAME, "Unwritten");
    ASSERT_TRUE(CommitEnabled());
    ClickCommit();
    ASSERT_EQ(prompts->messages.size(), 1u);
    EXPECT_EQ(prompts->messages[0].text, messages::kOpenedReadOnly);
    EXPECT_EQ(prompts->messages[0].caption, "Warning");
    EXPECT_EQ(ReadFileBytes(path), StandardSave().Bytes());
    EXPECT_FALSE(fs::exists(BackupPath()));
    EXPECT_EQ(Text(Held(main).PlayerPage(), IDC_PLAYER_NAME), "Unwritten");
    // Opened again for editing, the same save commits.
    ClickOpen(path);
    prompts->messages.clear();
    ClickCommit();
    ASSERT_EQ(prompts->messages.size(), 2u);
    EXPECT_EQ(prompts->messages[1].caption, "Done");
}

// The game saves while the editor shows the save: a new file renamed over it, a
// rewrite in place, and a rewrite with its time put back as it was.
struct GameSave {
    const char* how;
    void (*write)(const std::string& path, const std::string& bytes);
};

void WriteBytes(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

const GameSave kGameSaves[] = {
    {"byRename",
     [](const std::string& path, const std::string& bytes) {
         WriteBytes(path + ".tmp", bytes);
         fs::rename(path + ".tmp", path);  // MoveFileExW replacing, on Windows
     }},
    {"inPlace", WriteBytes},
#ifdef _WIN32
    // Opened for itself alone, as some games write: refused while any handle is open.
    {"exclusively", [](const std::string& path,
                       const std::string& bytes) { EXPECT_TRUE(WriteExclusively(path, bytes)); }},
#endif
    {"inPlaceTimePutBack",
     [](const std::string& path, const std::string& bytes) {
         const auto time = fs::last_write_time(path);
         WriteBytes(path, bytes);
         fs::last_write_time(path, time);
     }},
};

// The save as the game writes it later: the same shape, other values.
SaveBuilder GameSaved(float day, const char* name = "Bob", bool withMonth = true,
                      const char* before = nullptr) {
    SaveBuilder b;
    b.Header();
    if (before) b.Glob(before, 1.0f);
    b.Glob("Day", day);
    if (withMonth) b.Glob("Month", 3.0f);
    b.Glob("GameHour", 9.5f);
    PlayerTexts texts;
    texts.name = name;
    b.Record("FACT", {TextSub("NAME", "Guild")}).Filler(500).Player(texts).Filler(200);
    return b;
}

class GameSavesTest : public CommitTest, public ::testing::WithParamInterface<GameSave> {
protected:
    void GameWrites(const SaveBuilder& save) { GameWrites(save.Bytes()); }
    void GameWrites(const std::string& bytes) { GetParam().write(path, bytes); }
    // Waits, as the player does, for the window to notice.
    void WaitForStatus(const char* status) {
        EXPECT_TRUE(RunEventsUntil([&] { return Text(main, IDC_DISK_STATUS) == status; }, 3000))
            << Text(main, IDC_DISK_STATUS);
    }
    void ConfirmValue(int entry, const char* value) {
        ShowPage(1);
        Choose(Held(main).GlobPage(), IDC_GLOB_LIST, entry);
        Type(Held(main).GlobPage(), IDC_GLOB_VALUE, value);
        ASSERT_TRUE(IsEnabled(Held(main).GlobPage(), IDC_CONFIRM_CHANGE));
        Click(Held(main).GlobPage(), IDC_CONFIRM_CHANGE);
    }
    static std::unique_ptr<CSaveGame> Written(const std::string& at) {
        auto written = std::make_unique<CSaveGame>();
        EXPECT_TRUE(written->Open(at) && written->Load());
        return written;
    }
};

// Nothing typed: the window follows the game, on the page and the variable the player
// left it on, without a box; a second save (in place, after a rename) is followed too.
TEST_P(GameSavesTest, WithNothingTypedTheWindowFollowsTheGame) {
    ShowPage(1);
    Choose(Held(main).GlobPage(), IDC_GLOB_LIST, 2);  // Month
    Focus(Held(main).GlobPage(), IDC_GLOB_LIST);
    GameWrites(GameSaved(13.0f, "Bobby"));
    WaitForStatus(messages::kReloadedFromDisk);
    EXPECT_TRUE(prompts->messages.empty());
    EXPECT_EQ(Held(main).Sheet().GetActiveIndex(), 1);
    EXPECT_EQ(Text(Held(main).GlobPage(), IDC_GLOB_NAME), "Month");
    EXPECT_TRUE(HasFocus(Held(main).GlobPage(), IDC_GLOB_LIST));
    EXPECT_EQ(Held(main).Document()->Player()[PlayerRecord::FNAM].Text(), "Bobby");
    EXPECT_EQ(Text(Held(main).PlayerPage(), IDC_PLAYER_NAME), "Bobby");

    Control(main, IDC_DISK_STATUS).SetWindowText("");
    WriteBytes(path, GameSaved(14.0f, "Bobbie").Bytes());
    WaitForStatus(messages::kReloadedFromDisk);
    EXPECT_EQ(Held(main).Document()->Glob(0).value, 14.0f);
    // Its own commit is not taken for the game's.
    ClickCommit();
    ASSERT_EQ(prompts->messages.size(), 2u);
    EXPECT_EQ(prompts->messages[1].caption, "Done");
    EXPECT_EQ(Text(main, IDC_DISK_STATUS), "");
    EXPECT_FALSE(RunEventsUntil([&] { return !Text(main, IDC_DISK_STATUS).empty(); }, 1000));
}

// Opened with "Open as read-only": the window holds nothing either, and follows.
TEST_P(GameSavesTest, ASaveOpenedReadOnlyFollowsTheGameToo) {
    prompts->fileAnswers.push_back(ui::ChosenFile(path, true));
    Click(main, IDC_OPEN_FILE);
    GameWrites(GameSaved(13.0f));
    WaitForStatus(messages::kReloadedFromDisk);
    EXPECT_EQ(Held(main).Document()->Glob(0).value, 13.0f);
    EXPECT_TRUE(prompts->messages.empty());
}

// A name typed: nothing is loaded under the player's hands; CommitChanges asks, and Yes
// writes the name into the game's newer save, which becomes the backup.
TEST_P(GameSavesTest, ATypedNameIsKeptAndGoesOntoTheNewerSave) {
    Type(Held(main).PlayerPage(), IDC_PLAYER_NAME, "Typed");
    CSaveGame* document = Held(main).Document();
    const SaveBuilder newer = GameSaved(13.0f);
    GameWrites(newer);
    WaitForStatus(messages::kChangedSinceEdits);
    EXPECT_EQ(Held(main).Document(), document);
    EXPECT_EQ(Text(Held(main).PlayerPage(), IDC_PLAYER_NAME), "Typed");

    ClickCommit({ui::IDYES, ui::IDNO});  // No: nothing written, the edit stays
    ASSERT_EQ(prompts->messages.size(), 2u);
    EXPECT_EQ(prompts->messages[1].text, messages::kApplyToNewer);
    EXPECT_EQ(prompts->messages[1].type, kQuestion);
    EXPECT_EQ(ReadFileBytes(path), newer.Bytes());
    EXPECT_EQ(Text(Held(main).PlayerPage(), IDC_PLAYER_NAME), "Typed");

    prompts->messages.clear();
    ClickCommit({ui::IDYES, ui::IDYES});
    ASSERT_EQ(prompts->messages.size(), 3u);
    EXPECT_EQ(prompts->messages[2].caption, "Done");
    EXPECT_EQ(ReadFileBytes(BackupPath()), newer.Bytes());
    const auto written = Written(path);
    EXPECT_EQ(written->Player()[PlayerRecord::FNAM].Text(), "Typed");
    EXPECT_EQ(written->Glob(0).value, 13.0f);
}

// A value confirmed goes to its variable by name, wherever the newer save has it; one
// the newer save no longer has, and one the game changed too, are listed first.
TEST_P(GameSavesTest, ConfirmedValuesGoByNameAndClashesAreListed) {
    ConfirmValue(2, "7");   // Month
    ConfirmValue(0, "20");  // Day
    Type(Held(main).PlayerPage(), IDC_PLAYER_NAME, "Typed");
    GameWrites(GameSaved(13.0f, "Gamer", false, "Age"));
    WaitForStatus(messages::kChangedSinceEdits);
    ClickCommit({ui::IDYES, ui::IDYES});
    ASSERT_EQ(prompts->messages.size(), 3u);
    EXPECT_EQ(prompts->messages[1].text,
              std::string(messages::kApplyToNewer) +
                  "\n\nChanged by the game too (yours will be written):\nName: the game's Gamer, "
                  "yours Typed\nDay: the game's 13.000000, yours 20.000000\n\nNo longer in the "
                  "save (not applied):\nMonth: yours 7.000000");
    const auto written = Written(path);
    EXPECT_EQ(written->Player()[PlayerRecord::FNAM].Text(), "Typed");
    ASSERT_EQ(written->GlobCount(), 3);
    EXPECT_EQ(written->Glob(0).value, 1.0f);  // Age, where Day stood
    EXPECT_EQ(written->Glob(1).value, 20.0f);
}

// A global confirmed, and the newer save moved it: applied by name, nothing listed.
TEST_P(GameSavesTest, AValueTheNewerSaveMovedIsAppliedByName) {
    ConfirmValue(2, "7");  // Month, the save's second variable
    GameWrites(GameSaved(12.0f, "Bob", true, "Age"));
    WaitForStatus(messages::kChangedSinceEdits);
    ClickCommit({ui::IDYES, ui::IDYES});
    ASSERT_EQ(prompts->messages.size(), 3u);
    EXPECT_EQ(prompts->messages[1].text, messages::kApplyToNewer);
    const auto written = Written(path);
    EXPECT_EQ(written->Glob(1).value, 12.0f);  // Day
    EXPECT_EQ(written->Glob(2).value, 7.0f);   // Month
}

// A newer save that does not load is refused with its error, and the edits stay.
TEST_P(GameSavesTest, ANewerSaveThatDoesNotLoadKeepsTheEdits) {
    Type(Held(main).PlayerPage(), IDC_PLAYER_NAME, "Typed");
    GameWrites(SaveBuilder().Raw("TES3").Filler(40));
    WaitForStatus(messages::kChangedSinceEdits);
    ClickCommit({ui::IDYES});
    ASSERT_EQ(prompts->messages.size(), 2u);
    EXPECT_EQ(prompts->messages[1].text, errors::kNoGlobSection);
    EXPECT_EQ(Text(Held(main).PlayerPage(), IDC_PLAYER_NAME), "Typed");
    EXPECT_FALSE(fs::exists(BackupPath()));
}

// The game saves again while the question is open: the commit against the save it
// answered about is refused as ever, and the edits stay for the newest one.
TEST_P(GameSavesTest, TheGameSavingAgainDuringTheCommitKeepsTheEdits) {
    Type(Held(main).PlayerPage(), IDC_PLAYER_NAME, "Typed");
    GameWrites(GameSaved(13.0f));
    WaitForStatus(messages::kChangedSinceEdits);
    const SaveBuilder newest = GameSaved(14.0f);
    prompts->whileShown = [&](const ui::ScriptedPrompts::MessageCall& call) {
        if (call.text == messages::kApplyToNewer) GameWrites(newest);
    };
    ClickCommit({ui::IDYES, ui::IDYES});
    prompts->whileShown = nullptr;
    ASSERT_EQ(prompts->messages.size(), 3u);
    EXPECT_EQ(prompts->messages[2].text, errors::kChangedOnDisk);
    EXPECT_EQ(ReadFileBytes(path), newest.Bytes());
    EXPECT_EQ(Text(Held(main).PlayerPage(), IDC_PLAYER_NAME), "Typed");
    EXPECT_EQ(Text(main, IDC_DISK_STATUS), messages::kChangedSinceEdits);
    prompts->messages.clear();
    ClickCommit({ui::IDYES, ui::IDYES});
    ASSERT_EQ(prompts->messages.size(), 3u);
    EXPECT_EQ(prompts->messages[2].caption, "Done");
    EXPECT_EQ(Written(path)->Glob(0).value, 14.0f);
    EXPECT_EQ(Written(path)->Player()[PlayerRecord::FNAM].Text(), "Typed");
}

// The game writing its save just as the commit loads the new one again: the window
// waits until the save loads whole, and then shows it, with no error in between.
TEST_P(GameSavesTest, TheReloadAfterACommitWaitsForTheGamesWrite) {
    Type(Held(main).PlayerPage(), IDC_PLAYER_NAME, "Typed");
    prompts->whileShown = [&](const ui::ScriptedPrompts::MessageCall& call) {
        if (call.caption == "Done") GameWrites(GameSaved(13.0f).Bytes().substr(0, 300));
    };
    ClickCommit();
    prompts->whileShown = nullptr;
    ASSERT_EQ(prompts->messages.size(), 2u);
    EXPECT_EQ(Text(main, IDC_DISK_STATUS), messages::kWaitingForSave);
    EXPECT_EQ(Held(main).Document(), nullptr);
    GameWrites(GameSaved(13.0f));
    WaitForStatus(messages::kReloadedFromDisk);
    ASSERT_NE(Held(main).Document(), nullptr);
    EXPECT_EQ(Held(main).Document()->Glob(0).value, 13.0f);
    EXPECT_EQ(prompts->messages.size(), 2u);
}

// "Reload" in the help window: the typed name carried to the save on disk after the
// question, nothing written->
TEST_P(GameSavesTest, ReloadCarriesTheEditsWithoutCommitting) {
    Type(Held(main).PlayerPage(), IDC_PLAYER_NAME, "Typed");
    const SaveBuilder newer = GameSaved(13.0f);
    GameWrites(newer);
    ui::CEditorApp app;
    app.m_pMainWnd = &main;
    Click(main, ID_HELP);
    app.m_pMainWnd = nullptr;
    prompts->messageAnswers = {ui::IDYES};
    ClickButtonLabelled(main.HelpWindow(), messages::kHelpReload);
    ASSERT_EQ(prompts->messages.size(), 1u);
    EXPECT_EQ(prompts->messages[0].text, messages::kApplyToNewer);
    EXPECT_EQ(Held(main).Document()->Glob(0).value, 13.0f);
    EXPECT_EQ(Text(Held(main).PlayerPage(), IDC_PLAYER_NAME), "Typed");
    EXPECT_EQ(ReadFileBytes(path), newer.Bytes());
    // Still an edit: the next commit writes it, asking nothing more.
    prompts->messages.clear();
    ClickCommit();
    ASSERT_EQ(prompts->messages.size(), 2u);
    EXPECT_EQ(Written(path)->Player()[PlayerRecord::FNAM].Text(), "Typed");
}

INSTANTIATE_TEST_SUITE_P(Game, GameSavesTest, ::testing::ValuesIn(kGameSaves),
                         [](const auto& info) { return std::string(info.param.how); });

TEST(BackupProbe, OnlyTheFilesOwnNameIsChanged) {
    // The backup of x.ess/y.ess is x.ess/y.bak; x.bak/y.bak is someone else's file.
    TempDir dir;
    auto scripted = std::make_unique<ui::ScriptedPrompts>();
    ui::ScriptedPrompts* prompts = scripted.get();
    ui::InstallPrompts(std::move(scripted));
    fs::create_directories(dir.File("x.ess"));
    fs::create_directories(dir.File("x.bak"));
    StandardSave().WriteTo(dir.File("x.ess/y.ess"));
    SaveBuilder().Raw("not ours").WriteTo(dir.File("x.bak/y.bak"));
    for (const bool backupExists : {false, true}) {
        if (backupExists) SaveBuilder().Raw("backup").WriteTo(dir.File("x.ess/y.bak"));
        prompts->messages.clear();
        ui::CMainDlg main;
        main.Create();
        prompts->fileAnswers.push_back(dir.File("x.ess/y.ess"));
        Click(main, IDC_OPEN_FILE);
        prompts->messageAnswers = {ui::IDYES, ui::IDNO};
        Click(main, IDC_COMMIT_CHANGES);
        ASSERT_EQ(prompts->messages.size(), 2u);
        if (backupExists)
            EXPECT_EQ(prompts->messages[1].text, kBackupExists);
        else
            EXPECT_EQ(prompts->messages[1].caption, "Done");
        main.DestroyWindow();
    }
    EXPECT_EQ(ReadFileBytes(dir.File("x.bak/y.bak")), "not ours");
    ui::InstallPrompts(nullptr);
}

TEST_F(MainDlgTest, SystemCommandsSixteenToThirtyOneOpenTheAboutBox) {
    for (unsigned id : {16u, 31u, 32u})
        EXPECT_EQ(DismissModalFrom([&] { main.OnSysCommand(id, 0); }),
                  id < 32 ? "About Quellhart Savegame Editor" : "")
            << id;
}

TEST_F(MainDlgTest, TheSystemMenuCarriesTheAboutItem) {
    const auto items = SystemMenuItems(main);
    ASSERT_GE(items.size(), 3u);  // the window's own items, a separator, About
    EXPECT_EQ(items[items.size() - 2], std::pair(0u, std::string()));
    EXPECT_EQ(items.back(), std::pair(16u, std::string("&Acerca de Quellhart_Editor...")));
}

TEST(SystemMenu, AnEmptyString101AddsNoItem) {
    const std::string saved = res::StringTable()[res::IDS_ABOUTBOX];
    res::StringTable()[res::IDS_ABOUTBOX] = "";
    ui::CMainDlg main;
    main.Create();
    const auto items = SystemMenuItems(main);
    EXPECT_TRUE(std::none_of(items.begin(), items.end(),
                             [](const auto& item) { return item.first == 16; }));
    EXPECT_NE(items.back().first, 0u);  // no separator of the About item's either
    main.DestroyWindow();
    res::StringTable()[res::IDS_ABOUTBOX] = saved;
}

TEST_F(MainDlgTest, WithoutTheEditorsWindowTheHelpCommandSaysThereIsNoHelp) {
    ui::CEditorApp app;  // no main window of the editor's
    Click(main, ID_HELP);
    ASSERT_EQ(prompts->messages.size(), 1u);
    EXPECT_NE(prompts->messages[0].text.find("No help is available"), std::string::npos);
}

// A mistake found at the start (here in the environment) is said in a box as well as
// on standard error: started from a desktop launcher, nobody reads the latter.
TEST_F(MainDlgTest, AMistakeAtTheStartIsShownInABox) {
    const ScopedVariable codePage("QUELLHART_CODE_PAGE", "65001");
    ui::CEditorApp app;
    EXPECT_FALSE(app.InitInstance());
    EXPECT_EQ(app.m_exitCode, 2);
    ASSERT_EQ(prompts->messages.size(), 1u);
    // What is wrong, without the usage: the command line was right.
    EXPECT_EQ(prompts->messages[0].text,
              "QUELLHART_CODE_PAGE names no single-byte Windows code page: '65001' (known: 874, "
              "1250, 1251, 1252, 1253, 1254, 1255, 1256, 1257, 1258).\n");
    EXPECT_EQ(prompts->messages[0].type, kError);
}

TEST(CommandLine, AFileOpensAndTheOptionsAnswer) {
    using ui::CEditorApp;
    EXPECT_EQ(CEditorApp::ParseCommandLine({"a.ess"}).file, "a.ess");
    EXPECT_EQ(CEditorApp::ParseCommandLine({"--", "-a.ess"}).file, "-a.ess");
    EXPECT_EQ(CEditorApp::ParseCommandLine({}).file, std::nullopt);
    EXPECT_EQ(CEditorApp::ParseCommandLine({"--version"}).answer, "Quellhart_Editor 2.1\n");
    EXPECT_EQ(CEditorApp::ParseCommandLine({"a.ess", "-h"}).answer.rfind("Usage:", 0), 0u);
    // A mistake is answered with exit code 2; before the toolkit starts, options of one
    // dash are left to it (it takes its own, such as -platform).
    struct Mistake {
        std::vector<std::string> arguments;
        bool beforeToolkit;
        const char* answer;  // how the answer begins, "" for none
    };
    const Mistake mistakes[] = {
        {{"--frob", "a.ess"}, false, "Unknown option '--frob'."},
        {{"--frob"}, true, "Unknown option '--frob'."},
        {{"-x", "a.ess"}, false, "Unknown option '-x'."},
        {{"-platform", "offscreen", "a.ess"}, true, ""},
        {{"--code-page", "65001"}, true, "--code-page names no single-byte"},
        {{"--code-page"}, false, "--code-page needs a number."},
    };
    for (const Mistake& row : mistakes) {
        const ui::EditorCommandLine parsed =
            CEditorApp::ParseCommandLine(row.arguments, row.beforeToolkit);
        EXPECT_EQ(parsed.answer.rfind(row.answer, 0), 0u) << row.answer;
        EXPECT_EQ(parsed.exitCode, *row.answer ? 2 : 0) << row.answer;
        if (*row.answer) {
            EXPECT_EQ(parsed.file, std::nullopt);
        }
    }
    const ui::EditorCommandLine russian =
        CEditorApp::ParseCommandLine({"--code-page", "1251", "a.ess"});
    EXPECT_EQ(russian.codePage, "1251");
    EXPECT_EQ(russian.file, "a.ess");
    EXPECT_NE(CEditorApp::ParseCommandLine({"--code-page", "1250", "--help"})
                  .answer.find("Save texts are read and written as Windows-1250 (from "
                               "--code-page).\n"),
              std::string::npos);
}

TEST_F(MainDlgTest, ClosingTheWindowDropsTheDocument) {
    ClickOpen(WriteSave(StandardSave()));
    main.DestroyWindow();
    EXPECT_EQ(Held(main).Document(), nullptr);
}

TEST(WaitBox, ShowsItsTwoTextsAtOnce) {
    ui::CWaitDlg wait;
    wait.Create();
    EXPECT_TRUE(wait.IsWindowVisible());
    const auto texts = ChildTexts(wait.Window());
    EXPECT_EQ(std::count(texts.begin(), texts.end(), "Now generating the new file"), 1);
    EXPECT_EQ(std::count(texts.begin(), texts.end(), "Please Wait"), 1);
    EXPECT_EQ(wait.GetWindowText(100), "");
    wait.DestroyWindow();
    EXPECT_EQ(wait.Window(), nullptr);
}

}  // namespace
}  // namespace quellhart::test
