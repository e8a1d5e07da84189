// What protects a save when a commit or a restore is interrupted. The same edit runs
// once per call that it makes through the file layer: once with that call failing,
// once with the process stopped at that call. After each run the save's name must
// hold a complete save, the backup's name the old save or the previous backup, and no
// version may be lost: the previous backup, which a commit moves among the versions
// (the history folder), is under one name or the other.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <memory>
#include <regex>
#include <set>

#include "savefile/BackupRestore.h"
#include "savefile/FileClaim.h"
#include "savefile/SaveErrors.h"
#include "savefile/SaveGame.h"
#include "savefile/SaveHistory.h"
#include "tests/support/FaultyFileSystem.h"
#include "tests/support/SaveBuilder.h"
#include "tests/support/TempDir.h"

namespace quellhart {
namespace {

namespace fs = std::filesystem;
using test::FaultyFileSystem;
using test::ReadFileBytes;

// A save whose player is named `name`, so that the versions tell apart.
std::string SaveNamed(const std::string& name) {
    test::PlayerTexts texts;
    texts.name = name;
    return test::SaveBuilder()
        .Header()
        .Glob("Day", 3.0f)
        .Glob("Month", 7.0f)
        .Filler(3000)
        .Player(texts)
        .Filler(500)
        .Bytes();
}

const std::string kOldSave = SaveNamed("Old");
const std::string kPreviousBackup = SaveNamed("Previous");

// The folder's files, by name.
std::set<std::string> FilesIn(const fs::path& folder) {
    std::set<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder))
        names.insert(entry.path().filename().string());
    return names;
}

// A save and its previous backup in a fresh folder.
struct SaveFolder {
    test::TempDir dir;
    std::string save = dir.File("save.ess");
    std::string backup = dir.File("save.bak");
    std::string history = dir.File("save.history");
    SaveFolder() {
        test::SaveBuilder().Raw(kOldSave).WriteTo(save);
        test::SaveBuilder().Raw(kPreviousBackup).WriteTo(backup);
    }
    bool OnlySaveAndBackup() const {
        return FilesIn(dir.Path()) == std::set<std::string>{"save.ess", "save.bak"};
    }
    // Nothing but the save, the backup and the history's versions (an empty history
    // folder may stay).
    bool OnlyItsOwnFiles() const {
        for (const auto& [name, bytes] : test::FilesUnder(dir.Path()))
            if (name != "save.ess" && name != "save.bak" && name.rfind("save.history/", 0) != 0)
                return false;
        return true;
    }
    // How many of the save, the backup and the versions hold `version`.
    size_t Holding(const std::string& version) const {
        size_t count = 0;
        for (const auto& [name, bytes] : test::FilesUnder(dir.Path())) count += bytes == version;
        return count;
    }
    std::vector<std::string> History() const { return test::HistoryVersions(history); }
};

// Every file a failure's message names holds what the message says it holds: "the old
// one is X" and "the old save is now X" the old save, "the new one is X" and "The new
// save is in place" the new save.
void ExpectWhatTheMessageSays(const SaveError& failure, const std::string& savePath,
                              const std::string& newSave, const std::string& where) {
    static const std::regex kOld("(?:the old one is|The old save is now) (\\S+)[.;]");
    static const std::regex kNew("the new one is (\\S+)\\.");
    const auto holds = [&](const std::regex& says, const std::string& version) {
        for (std::sregex_iterator at(failure.cause.begin(), failure.cause.end(), says), end;
             at != end; ++at) {
            const std::string named = (*at)[1];
            ASSERT_TRUE(fs::exists(named)) << where << ": " << failure.cause;
            EXPECT_EQ(ReadFileBytes(named), version) << where << ": " << named;
        }
    };
    holds(kOld, kOldSave);
    holds(kNew, newSave);
    if (failure.cause.find("The new save is in place") != std::string::npos) {
        EXPECT_EQ(ReadFileBytes(savePath), newSave) << where << ": " << failure.cause;
    }
}

// The edit every run makes: a longer name and two changed globals.
// `kept`, where given, receives the document after its commit.
bool OpenEditCommit(FileSystem& files, const std::string& path, SaveError* error = nullptr,
                    SaveError* note = nullptr, std::unique_ptr<CSaveGame>* kept = nullptr,
                    int keep = kDefaultHistoryKeep) {
    auto owned = std::make_unique<CSaveGame>(files);
    CSaveGame& doc = *owned;
    doc.SetHistoryKeep(keep);
    if (!doc.Open(path) || !doc.Load()) {
        if (error) *error = doc.GetError();
        return false;
    }
    for (int i = 0; i < doc.GlobCount(); ++i) {
        doc.Glob(i).value += 100.0f;
        doc.Glob(i).modified = true;
    }
    PlayerRecord record = doc.Player();
    record[PlayerRecord::FNAM] = Subrecord::FromText("Renamed");
    doc.SetPlayerData(record);
    const bool committed = doc.Commit();
    if (error) *error = doc.GetError();
    if (note) *note = doc.GetCommitNote();
    if (kept) *kept = std::move(owned);
    return committed;
}

// The bytes that the edit gives when nothing goes wrong, and how many file calls
// it makes.
struct CleanRun {
    std::string newSave;
    int calls = 0;
    std::vector<std::string> names;
};

CleanRun MeasureCleanRun(bool exchangeSupported, int keep = kDefaultHistoryKeep) {
    SaveFolder folder;
    FaultyFileSystem counting;
    counting.exchangeSupported = exchangeSupported;
    EXPECT_TRUE(OpenEditCommit(counting, folder.save, nullptr, nullptr, nullptr, keep));
    return {ReadFileBytes(folder.save), counting.Calls(), counting.Names()};
}

const FileError kInjectedErrors[] = {FileError::kFailed, FileError::kNotFound,
                                     FileError::kNotSupported};

TEST(CommitDurability, EveryCallFailingOnceLeavesTheOldOrTheNewSaveWhole) {
    // Where names cannot be exchanged (FAT), the refusal carries words of its own,
    // which must not be given as the cause of a later failure.
    for (const bool exchange : {true, false}) {
        if (exchange && !test::SystemExchangesNames()) continue;
        const CleanRun clean = MeasureCleanRun(exchange);
        ASSERT_GT(clean.calls, 20);
        for (int call = 1; call <= clean.calls; ++call) {
            for (const FileError error : kInjectedErrors) {
                SaveFolder folder;
                FaultyFileSystem files = FaultyFileSystem::FailingCall(call, error);
                files.exchangeSupported = exchange;
                SaveError failure, note;
                std::unique_ptr<CSaveGame> doc;
                const bool committed = OpenEditCommit(files, folder.save, &failure, &note, &doc);
                const std::string& message = failure.text;
                const std::string& name = files.Names()[size_t(call - 1)];
                const std::string where = std::string(exchange ? "exchange" : "renames") +
                                          ", call " + std::to_string(call) + " " + name;
                // A failed write of the new save's bytes is never passed over, nor a
                // sync of a folder before the last (the system's own replace makes its
                // renames durable itself): the commit fails, or where the sync was the
                // history's, says that the previous backup could not be kept.
                const bool lastFolderSync =
                    name == "SyncFolderOf" &&
                    std::count(clean.names.begin() + call, clean.names.end(), name) == 0;
                const bool earlierFolderSync =
                    name == "SyncFolderOf" && !files.ReplacesWithBackup() && !lastFolderSync;
                if (error == FileError::kFailed &&
                    (name == "WriteAt" || name == "Sync" || earlierFolderSync)) {
                    EXPECT_TRUE(!committed || note.text == errors::kVersionNotKept) << where;
                }
                // A failing file system is never taken for a save changed on disk, and the
                // cause given is the failed call's own. (A lock that Open could not let go
                // of again is still the document's own, where a second lock on the same
                // handle is refused (Windows): the commit is refused as if another held it.)
                if (error == FileError::kFailed && !committed) {
                    EXPECT_NE(message, errors::kChangedOnDisk) << where;
                    if (name != "Unlock") {
                        EXPECT_NE(failure.cause.find(name + " failed (injected)"),
                                  std::string::npos)
                            << where << ": " << message << " / " << failure.cause;
                    }
                }
                if (committed) {
                    EXPECT_EQ(ReadFileBytes(folder.save), clean.newSave) << where;
                    EXPECT_EQ(ReadFileBytes(folder.backup), kOldSave) << where;
                    // The previous backup is a version now, unless the history could not
                    // take it; then the commit says so, with the failed call's reason. (A
                    // backup the system says is not there is not moved.)
                    // A save that cannot be locked (the Open's lock is the first, the
                    // commit's on the save the second) is said to be so.
                    const bool saveUnlocked =
                        error == FileError::kNotSupported && name == "TryLock" &&
                        std::count(clean.names.begin(), clean.names.begin() + call, name) == 2;
                    const bool kept = folder.History() == std::vector<std::string>{kPreviousBackup};
                    // A failed sync after the last rename is said, too.
                    if (kept) {
                        EXPECT_EQ(note.text, error == FileError::kFailed && lastFolderSync
                                                 ? errors::kPlacedNotDurable
                                             : saveUnlocked ? errors::kSaveNotLocked
                                                            : "")
                            << where << ": " << note.text;
                    } else if (!(error == FileError::kNotFound && name == "DescribePath")) {
                        // Only a history that is none of the editor's, never one the
                        // system failed to write, lets the previous backup be replaced.
                        EXPECT_NE(error, FileError::kFailed) << where;
                        EXPECT_EQ(note.text, errors::kVersionNotKept) << where;
                        if (error == FileError::kFailed) {
                            EXPECT_NE(note.cause.find(name + " failed (injected)"),
                                      std::string::npos)
                                << where << ": " << note.cause;
                        }
                    }
                } else {
                    EXPECT_FALSE(message.empty()) << where;
                    ExpectWhatTheMessageSays(failure, folder.save, clean.newSave, where);
                    EXPECT_EQ(ReadFileBytes(folder.save), kOldSave) << where << ": " << message;
                    // The previous backup is back under its name, or, where two renames
                    // could not be undone and the old save kept the backup's name, still
                    // among the versions.
                    if (exchange) {
                        EXPECT_EQ(ReadFileBytes(folder.backup), kPreviousBackup)
                            << where << ": " << message;
                        EXPECT_TRUE(folder.History().empty()) << where;
                    } else {
                        const std::string backup = ReadFileBytes(folder.backup);
                        EXPECT_TRUE(backup == kPreviousBackup || backup == kOldSave)
                            << where << ": " << message;
                    }
                    EXPECT_EQ(folder.Holding(kPreviousBackup), 1u) << where << ": " << message;
                }
                // Where the folder's last sync failed, the old save keeps its second name,
                // so that whatever a power cut leaves the next Open can still tell it.
                if (exchange && error == FileError::kFailed && lastFolderSync) {
                    EXPECT_TRUE(fs::exists(folder.dir.File("save.prev"))) << where;
                }
                // A second name of the old save that could not be removed is the next
                // Open's to clear; it is never the only copy of anything.
                if (fs::exists(folder.dir.File("save.prev"))) {
                    EXPECT_TRUE(fs::equivalent(folder.dir.File("save.prev"),
                                               committed ? folder.backup : folder.save))
                        << where;
                    CSaveGame next;
                    EXPECT_TRUE(next.Open(folder.save)) << where;
                }
#ifndef _WIN32  // Windows keeps a removed name while the document holds the file open
                EXPECT_TRUE(folder.OnlyItsOwnFiles()) << where;
#endif
                // A commit that failed with the save as it was offers to go again, and
                // the same edits then give the same save, the old one its backup. (Not
                // where the lock Open took stays, as above: it keeps refusing.)
                if (!committed && doc && ReadFileBytes(folder.save) == kOldSave &&
                    !(name == "Unlock" && message == errors::kBeingWritten)) {
                    ASSERT_TRUE(doc->CanCommit()) << where << ": " << message;
                    ASSERT_TRUE(doc->Commit())
                        << where << ": " << doc->GetError().text << " / " << doc->GetError().cause;
                    EXPECT_EQ(ReadFileBytes(folder.save), clean.newSave) << where;
                    EXPECT_EQ(ReadFileBytes(folder.backup), kOldSave) << where;
                    EXPECT_EQ(folder.Holding(kPreviousBackup), 1u) << where;
                    EXPECT_FALSE(doc->CanCommit()) << where;
                }
                doc.reset();
                EXPECT_TRUE(folder.OnlyItsOwnFiles()) << where;
            }
            // And where the undo fails too (the first change of a name after the failed
            // call): the message names where each version is, and none is lost.
            for (const std::string_view undo : {"Rename", "RenameToFreeName", "Exchange"}) {
                SaveFolder folder;
                bool undoFailed = false;
                FaultyFileSystem files([&](int at, std::string_view name) {
                    const bool fails = at == call || (at > call && !undoFailed && name == undo);
                    undoFailed = undoFailed || (at > call && fails);
                    return fails ? FileError::kFailed : FileError::kNone;
                });
                files.exchangeSupported = exchange;
                SaveError failure;
                const bool committed = OpenEditCommit(files, folder.save, &failure);
                const std::string where = std::string(exchange ? "exchange" : "renames") +
                                          ", call " + std::to_string(call) + " " +
                                          clean.names[size_t(call - 1)] + ", then " +
                                          std::string(undo);
                if (!committed)
                    ExpectWhatTheMessageSays(failure, folder.save, clean.newSave, where);
                // A save's name left empty or holding the new save is said.
                const std::string save = fs::exists(folder.save) ? ReadFileBytes(folder.save) : "";
                if (!committed && save != kOldSave) {
                    EXPECT_NE(failure.cause.find(save.empty() ? "The old save is now"
                                                              : "The new save is in place"),
                              std::string::npos)
                        << where << ": " << failure.cause;
                }
                CSaveGame next;  // puts a stopped commit's names right
                EXPECT_TRUE(next.Open(folder.save)) << where << ": " << next.GetErrorText();
                EXPECT_EQ(folder.Holding(kOldSave), 1u) << where << ": " << failure.cause;
                EXPECT_EQ(folder.Holding(kPreviousBackup), 1u) << where << ": " << failure.cause;
            }
        }
    }
}

// The file systems a save may be on: with an exchange of names and hard links (ext4),
// with an exchange but links refused (the kernel's protection of links, for a save
// another user owns), with links only (NTFS), with neither (FAT).
struct Abilities {
    bool exchange, links;
};
constexpr Abilities kFileSystems[] = {{true, true}, {true, false}, {false, true}, {false, false}};

TEST(CommitDurability, StoppedAtAnyCallTheNextOpenFindsTheOldOrTheNewSaveAndItsBackup) {
    for (const Abilities can : kFileSystems) {
        if (can.exchange && !test::SystemExchangesNames()) continue;
        const CleanRun clean = MeasureCleanRun(can.exchange);
        for (int call = 1; call <= clean.calls + 1; ++call) {
            SaveFolder folder;
            FaultyFileSystem files = FaultyFileSystem::CrashingAtCall(call);
            files.exchangeSupported = can.exchange;
            files.linksSupported = can.links;
            SaveError failure;
            OpenEditCommit(files, folder.save, &failure);
            const std::string where = std::string(can.exchange ? "exchange" : "renames") +
                                      (can.links ? ", links" : "") + ", stopped at call " +
                                      std::to_string(call);
            ExpectWhatTheMessageSays(failure, folder.save, clean.newSave, where);
            // The next Open puts right what the stop left, and names what it cannot.
            CSaveGame next;
            // Whatever the stop, the previous backup is the backup or a version.
            EXPECT_EQ(folder.Holding(kPreviousBackup), 1u) << where;
            if (!next.Open(folder.save)) {
                // Only without a second name can the save's name be left empty: the
                // old save is then the backup, the new one the work file.
                EXPECT_FALSE(can.links) << where;
                EXPECT_NE(next.GetError().cause.find("beside it"), std::string::npos) << where;
                EXPECT_EQ(ReadFileBytes(folder.backup), kOldSave) << where;
                continue;
            }
            next.Load();
            const std::string save = ReadFileBytes(folder.save);
            // The backup may be among the versions already where the save is still old
            // (a commit by renames moves it first).
            const std::string backup =
                fs::exists(folder.backup) ? ReadFileBytes(folder.backup) : "";
            EXPECT_TRUE((save == kOldSave && (backup == kPreviousBackup || backup.empty())) ||
                        (save == clean.newSave && backup == kOldSave))
                << where;
            EXPECT_EQ(folder.Holding(kOldSave), 1u) << where;
            EXPECT_TRUE(folder.OnlyItsOwnFiles()) << where;
            // And the next commit works from there.
            EXPECT_TRUE(next.Commit()) << where << ": " << next.GetErrorText();
        }
    }
}

// Every state a stop can leave beside a save, as files on disk, and the one outcome
// that is right for it after an Open and after a restore: a swap whose names say it
// happened is finished, one that had not is undone, and whatever a running operation
// has claimed, or the program did not make, stays as it is. Names are save.*; "->"
// gives a second name of the same file.
TEST(Recovery, EveryStateAStopCanLeaveEndsAsItsNamesSay) {
    using Files = std::map<std::string, std::string>;  // name: version
    const std::map<std::string, std::string> versions = {{"Old", kOldSave},
                                                         {"New", SaveNamed("New")},
                                                         {"Previous", kPreviousBackup},
                                                         {"Game", SaveNamed("Game")},
                                                         {"Part", SaveNamed("New").substr(0, 600)},
                                                         {"notes", "my notes"}};
    struct Case {
        const char* what;
        Files start;
        std::vector<std::pair<std::string, std::string>> links;  // new name, existing name
        std::vector<std::string> claimed;                        // held during the run
        Files afterOpen, afterRestore;  // every file in the folder afterwards
        bool openSays = false;          // the Open names a version it kept
        const char* openNote = "";      // or what else the Open says
    };
    // "history" stands for the one version in the history folder.
    const Files commitAfterExchange = {
        {"ess", "New"}, {"out", "Old"}, {"prev", "Old"}, {"bak", "Previous"}};
    const Files restoreParked = {{"ess", "Previous"}, {"swap", "Old"}};
    const Case cases[] = {
        {"a commit stopped after its exchange",
         {{"ess", "New"}, {"out", "Old"}, {"bak", "Previous"}},
         {{"prev", "out"}},
         {},
         {{"ess", "New"}, {"bak", "Old"}, {"history", "Previous"}},
         {{"ess", "Old"}, {"bak", "New"}, {"history", "Previous"}}},
        {"the same after the previous backup went among the versions",
         {{"ess", "New"}, {"out", "Old"}, {"history", "Previous"}},
         {{"prev", "out"}},
         {},
         {{"ess", "New"}, {"bak", "Old"}, {"history", "Previous"}},
         {{"ess", "Old"}, {"bak", "New"}, {"history", "Previous"}}},
        {"the same while the commit runs",
         {{"ess", "New"}, {"out", "Old"}, {"bak", "Previous"}},
         {{"prev", "out"}},
         {"ess", "out"},
         commitAfterExchange,
         commitAfterExchange},
        {"a commit by renames stopped between them",
         {{"out", "New"}, {"bak", "Old"}},
         {{"prev", "bak"}},
         {},
         {{"ess", "New"}, {"bak", "Old"}},
         {{"ess", "Old"}, {"bak", "New"}}},
        {"the same with the new save claimed",
         {{"out", "New"}, {"bak", "Old"}},
         {{"prev", "bak"}},
         {"out"},
         {{"out", "New"}, {"bak", "Old"}, {"prev", "Old"}},
         {{"out", "New"}, {"bak", "Old"}, {"prev", "Old"}}},
        {"a restore by renames stopped with the save put aside",
         {{"swap", "Old"}, {"bak", "Previous"}},
         {},
         {},
         {{"ess", "Old"}, {"bak", "Previous"}},
         {{"ess", "Previous"}, {"bak", "Old"}}},
        {"a restore stopped after the backup took the save's name",
         restoreParked,
         {},
         {},
         {{"ess", "Previous"}, {"bak", "Old"}},
         {{"ess", "Old"}, {"bak", "Previous"}}},
        {"the same while the restore runs",
         restoreParked,
         {},
         {"swap"},
         restoreParked,
         restoreParked},
        {"the same with a file of the user's own as the backup: the save put aside is kept "
         "as a version",
         {{"ess", "Previous"}, {"swap", "Old"}, {"bak", "notes"}},
         {},
         {},
         {{"ess", "Previous"}, {"history", "Old"}, {"bak", "notes"}},
         {{"ess", "Previous"}, {"history", "Old"}, {"bak", "notes"}}},
        // Without second names (FAT), nothing tells the new save from a stale work file:
        // where a game has saved since, the edited save is kept among the versions.
        {"a commit by renames stopped between them, the game saved since",
         {{"ess", "Game"}, {"out", "New"}, {"bak", "Old"}},
         {},
         {},
         {{"ess", "Game"}, {"bak", "Old"}, {"history", "New"}},
         {{"ess", "Old"}, {"bak", "Game"}, {"out", "New"}},
         true},
        {"a work file stopped half-way",
         {{"ess", "Old"}, {"out", "Part"}, {"bak", "Previous"}},
         {},
         {},
         {{"ess", "Old"}, {"bak", "Previous"}},
         {{"ess", "Previous"}, {"bak", "Old"}, {"out", "Part"}}},
        // A history that cannot take the previous backup (a file has its name): nothing
        // is replaced, and the Open says where the old save is.
        {"a commit stopped after its exchange, the history in the way",
         {{"ess", "New"}, {"out", "Old"}, {"bak", "Previous"}, {"history", "notes"}},
         {{"prev", "out"}},
         {},
         {{"ess", "New"},
          {"out", "Old"},
          {"prev", "Old"},
          {"bak", "Previous"},
          {"history", "notes"}},
         {{"ess", "Previous"},
          {"out", "Old"},
          {"prev", "Old"},
          {"bak", "New"},
          {"history", "notes"}},
         false,
         errors::kStoppedCommitLeftAside},
        {"a second name of the save left by a commit",
         {{"ess", "Old"}, {"bak", "Previous"}},
         {{"prev", "ess"}},
         {},
         {{"ess", "Old"}, {"bak", "Previous"}},
         {{"ess", "Previous"}, {"bak", "Old"}}},
    };
    for (const Case& c : cases) {
        // An Open, the same keeping no versions (where it keeps one), and a restore.
        for (const int run : {0, 1, 2}) {
            const bool restore = run == 2;
            if (run == 1 && !c.openSays) continue;
            test::TempDir dir;
            const auto path = [&](const std::string& extension) {
                return dir.File("save." + extension);
            };
            for (const auto& [extension, version] : c.start) {
                if (extension == "history" && version != "notes") {
                    fs::create_directory(path("history"));
                    test::SaveBuilder()
                        .Raw(versions.at(version))
                        .WriteTo(path("history/2026-12-08T21-40-03.123456789Z.ess"));
                    continue;
                }
                test::SaveBuilder().Raw(versions.at(version)).WriteTo(path(extension));
            }
            for (const auto& [name, existing] : c.links)
                fs::create_hard_link(path(existing), path(name));
            std::vector<std::unique_ptr<FileClaim>> claims;
            for (const std::string& extension : c.claimed) {
                claims.push_back(std::make_unique<FileClaim>(SystemFileSystem(), path(extension)));
                ASSERT_EQ(claims.back()->Take(), FileError::kNone) << c.what;
            }
            SaveError error;
            if (restore) {
                RestoreBackup(path("ess"), kDefaultHistoryKeep, error);
            } else {
                CSaveGame doc;
                if (run == 1) doc.SetHistoryKeep(0);
                doc.Open(path("ess"));
                // What the Open says it kept is there, holding the edited save.
                const SaveError& note = doc.GetOpenNote();
                EXPECT_EQ(note.text, c.openSays ? errors::kEditKeptAsVersion : c.openNote)
                    << c.what;
                std::smatch named;
                if (std::regex_search(note.cause, named, std::regex("It is now (\\S+)\\.$"))) {
                    EXPECT_EQ(ReadFileBytes(named[1]), versions.at("New")) << c.what;
                } else {
                    EXPECT_FALSE(c.openSays) << c.what << ": " << note.cause;
                }
                if (*c.openNote) {
                    EXPECT_NE(note.cause.find(path("out")), std::string::npos) << note.cause;
                }
            }
            claims.clear();
            Files found;
            for (const auto& [file, bytes] : test::FilesUnder(dir.Path())) {
                std::string version = "?";
                for (const auto& [name, known] : versions)
                    if (known == bytes) version = name;
                const bool inHistory = file.rfind("save.history/", 0) == 0;
                found[inHistory ? "history" : fs::path(file).extension().string().substr(1)] =
                    version;
            }
            EXPECT_EQ(found, restore ? c.afterRestore : c.afterOpen)
                << c.what << (restore ? ", restore" : ", Open") << ": " << error.text;
        }
    }
}

TEST(CommitDurability, WithoutAnExchangeAFailedCommitStillKeepsTheSave) {
    // Where names cannot be exchanged, the save is renamed to the backup first, once
    // the previous backup is among the versions (kept or not): when the second rename
    // fails, neither the save nor the previous backup is gone. Without versions kept,
    // a commit that went through leaves none.
    for (const int keep : {kDefaultHistoryKeep, 0}) {
        const CleanRun clean = MeasureCleanRun(false, keep);
        for (int call = 1; call <= clean.calls; ++call) {
            SaveFolder folder;
            FaultyFileSystem files = FaultyFileSystem::FailingCall(call, FileError::kFailed);
            files.exchangeSupported = false;
            SaveError failure, note;
            const bool committed =
                OpenEditCommit(files, folder.save, &failure, &note, nullptr, keep);
            const std::string where = "keep " + std::to_string(keep) + ", call " +
                                      std::to_string(call) + " " + files.Names()[size_t(call - 1)];
            EXPECT_EQ(ReadFileBytes(folder.save), committed ? clean.newSave : kOldSave) << where;
            if (committed) {
                EXPECT_EQ(ReadFileBytes(folder.backup), kOldSave) << where;
                if (keep == 0) {
                    // (A previous backup that could not be removed stays a version.)
                    const bool removeFailed = files.Names()[size_t(call - 1)] == "Remove";
                    EXPECT_TRUE(folder.History().empty() ||
                                (removeFailed &&
                                 folder.History() == std::vector<std::string>{kPreviousBackup}))
                        << where;
                    EXPECT_NE(note.text, errors::kVersionNotKept) << where;  // none promised
                }
            } else {
                // Nothing takes the previous backup's name unless it has stepped aside.
                EXPECT_EQ(folder.Holding(kPreviousBackup), 1u)
                    << where << ": " << failure.text << " / " << failure.cause;
            }
            EXPECT_FALSE(fs::exists(folder.dir.File("save.out"))) << where;
        }
    }
}

bool Restore(FileSystem& files, const std::string& save, SaveError* error = nullptr) {
    SaveError failure;
    const bool swapped = RestoreBackup(save, kDefaultHistoryKeep, failure, files);
    if (error) *error = failure;
    return swapped;
}

// When a swap fails and so does its undo, the message says where each version is; and
// both are still there.
TEST(CommitDurability, AFailedUndoSaysWhereEachVersionIs) {
    struct Case {
        bool restore;  // else a commit
        bool exchange;
        std::vector<std::pair<std::string, int>> failing;  // a call's name, its n-th time
        const char* says;
    };
    const Case cases[] = {
        {false, true, {{"Rename", 1}, {"Exchange", 2}}, "the old one is"},
        {false, true, {{"SyncFolderOf", 1}, {"Exchange", 2}}, "the old one is"},
        // (The first rename to a free name moves the previous backup among the versions.)
        {false, false, {{"RenameToFreeName", 2}, {"RenameToFreeName", 3}}, "The old save is now"},
        // A restore by renames: the backup cannot take the save's name, nor the save
        // go back to it; then the save put aside cannot become the backup, nor the
        // backup go back.
        {true, false, {{"RenameToFreeName", 2}, {"RenameToFreeName", 3}}, "The save is now"},
        {true, false, {{"RenameToFreeName", 3}, {"RenameToFreeName", 4}}, "The backup is now"}};
    for (const Case& c : cases) {
        if (c.exchange && !test::SystemExchangesNames()) continue;
#ifdef _WIN32
        if (!c.exchange) continue;  // Windows swaps with its replace-with-backup
#endif
        SaveFolder folder;
        std::map<std::string, int> seen;
        FaultyFileSystem files([&](int, std::string_view name) {
            const int nth = ++seen[std::string(name)];
            for (const auto& [failing, at] : c.failing)
                if (name == failing && nth == at) return FileError::kFailed;
            return FileError::kNone;
        });
        files.exchangeSupported = c.exchange;
        files.replaceSupported = false;
        SaveError failure;
        if (c.restore) {
            EXPECT_FALSE(Restore(files, folder.save, &failure)) << c.says;
        } else {
            CSaveGame doc(files);
            ASSERT_TRUE(doc.Open(folder.save) && doc.Load());
            doc.Glob(0).value = 42.0f;
            doc.Glob(0).modified = true;
            EXPECT_FALSE(doc.Commit()) << c.says;
            failure = doc.GetError();
        }
        EXPECT_NE(failure.cause.find(c.says), std::string::npos) << failure.cause;
        // Nor does the next Open lose one, whatever name it was left under.
        CSaveGame next;
        next.Open(folder.save);
        EXPECT_EQ(folder.Holding(kOldSave), 1u) << c.says;
        EXPECT_EQ(folder.Holding(kPreviousBackup), 1u) << c.says;
    }
}

TEST(CommitDurability, AValueTheDiskDoesNotKeepFailsTheReadBack) {
    SaveFolder folder;
    FaultyFileSystem files;
    {  // the disk corrupts the first global's value where it lands
        CSaveGame probe;
        ASSERT_TRUE(probe.OpenReadOnly(folder.save) && probe.Load());
        const GlobEntry& day = probe.Glob(0);
        files.corruptByteAt = day.rawAddress + 4 + 12 + 8 + day.NameLen() + 8 + day.fnamLen() + 8;
    }
    SaveError failure;
    EXPECT_FALSE(OpenEditCommit(files, folder.save, &failure));
    EXPECT_EQ(failure.text, errors::kGlobVerify);
    EXPECT_EQ(ReadFileBytes(folder.save), kOldSave);
    EXPECT_EQ(ReadFileBytes(folder.backup), kPreviousBackup);
    EXPECT_TRUE(folder.OnlySaveAndBackup());
}

int CountRestoreCalls(bool exchangeSupported) {
    SaveFolder folder;
    FaultyFileSystem counting;
    counting.exchangeSupported = exchangeSupported;
    EXPECT_TRUE(Restore(counting, folder.save));
    return counting.Calls();
}

// The durable steps, in their order: the new file's bytes reach the disk before any
// name changes, and every change of names is followed by a sync of the folder that
// makes it last. Of the calls that write or sync or rename, from the new save's last
// write on (writes in a row count once).
TEST(CommitDurability, TheDurableStepsComeInTheirOrder) {
    struct Case {
        bool commit, exchange;
        std::vector<std::string> steps;
    };
    const Case cases[] = {
        // The previous backup goes among the versions (a rename into the history folder,
        // which is synced, and then the folder it left) once the new save's name is
        // durable, right before the old save takes the backup's name.
        {true,
         true,
         {"write", "Sync", "Exchange", "SyncFolderOf", "RenameToFreeName", "SyncFolderOf",
          "SyncFolderOf", "Rename", "SyncFolderOf"}},
        // Without an exchange it is asked for, and refused.
        {true,
         false,
         {"write", "Sync", "Exchange", "RenameToFreeName", "SyncFolderOf", "SyncFolderOf", "Rename",
          "SyncFolderOf", "RenameToFreeName", "SyncFolderOf"}},
        {false, true, {"Exchange", "SyncFolderOf"}},
        {false,
         false,
         // each rename durable before the next (FAT keeps them in no order)
         {"Exchange", "RenameToFreeName", "SyncFolderOf", "RenameToFreeName", "SyncFolderOf",
          "RenameToFreeName", "SyncFolderOf"}},
    };
    const std::set<std::string> durable = {
        "WriteAt",          "Sync",         "Exchange",         "Rename",
        "RenameToFreeName", "SyncFolderOf", "ReplaceWithBackup"};
    for (const Case& c : cases) {
        if (c.exchange && !test::SystemExchangesNames()) continue;
        SaveFolder folder;
        FaultyFileSystem files;
        files.exchangeSupported = c.exchange;
        files.replaceSupported = false;
        ASSERT_TRUE(c.commit ? OpenEditCommit(files, folder.save) : Restore(files, folder.save));
        std::vector<std::string> steps;
        for (const std::string& name : files.Names()) {
            if (!durable.count(name)) continue;
            const std::string step = name == "WriteAt" ? "write" : name;
            if (step == "write" && !steps.empty() && steps.back() == "write") continue;
            if (step == "write") steps.clear();  // from the last write on
            steps.push_back(step);
        }
        EXPECT_EQ(steps, c.steps) << (c.commit ? "commit" : "restore")
                                  << (c.exchange ? ", exchange" : ", renames");
    }
}

TEST(RestoreDurability, EveryCallFailingOnceSwapsBothOrNeither) {
    for (const bool exchange : {true, false}) {
        const int calls = CountRestoreCalls(exchange);
        for (int call = 1; call <= calls; ++call) {
            SaveFolder folder;
            FaultyFileSystem files = FaultyFileSystem::FailingCall(call, FileError::kFailed);
            files.exchangeSupported = exchange;
            SaveError failure;
            const bool swapped = Restore(files, folder.save, &failure);
            const std::string& name = files.Names()[size_t(call - 1)];
            const std::string where = std::string(exchange ? "exchange" : "renames") + ", call " +
                                      std::to_string(call) + " " + name;
            // A refusal says why: the failed call's own reason.
            if (!swapped) {
                EXPECT_NE(failure.cause.find(name + " failed (injected)"), std::string::npos)
                    << where << ": " << failure.text << " / " << failure.cause;
            }
            // A swap the folder's sync did not make durable is not reported as done.
            if (name == "SyncFolderOf") {
                EXPECT_FALSE(swapped) << where;
            }
            EXPECT_EQ(ReadFileBytes(folder.save), swapped ? kPreviousBackup : kOldSave) << where;
            EXPECT_EQ(ReadFileBytes(folder.backup), swapped ? kOldSave : kPreviousBackup) << where;
            EXPECT_TRUE(folder.OnlySaveAndBackup()) << where;
        }
    }
}

TEST(RestoreDurability, StoppedAtAnyCallTheNextOpenFindsBothSavesUnderTheirNames) {
    for (const bool exchange : {true, false}) {
        if (exchange && !test::SystemExchangesNames()) continue;
        const int calls = CountRestoreCalls(exchange);
        for (int call = 1; call <= calls + 1; ++call) {
            SaveFolder folder;
            FaultyFileSystem files = FaultyFileSystem::CrashingAtCall(call);
            files.exchangeSupported = exchange;
            Restore(files, folder.save);
            const std::string where = std::string(exchange ? "exchange" : "renames") +
                                      ", stopped at call " + std::to_string(call);
            CSaveGame next;
            ASSERT_TRUE(next.Open(folder.save)) << where << ": " << next.GetErrorText();
            const std::string save = ReadFileBytes(folder.save);
            const std::string backup = ReadFileBytes(folder.backup);
            EXPECT_TRUE((save == kOldSave && backup == kPreviousBackup) ||
                        (save == kPreviousBackup && backup == kOldSave))
                << where;
            EXPECT_TRUE(folder.OnlySaveAndBackup()) << where;
        }
    }
}

}  // namespace
}  // namespace quellhart
