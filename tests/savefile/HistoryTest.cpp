// The earlier versions of a save: what commits keep and for how long, what a restore
// of one (or of the backup) puts back and what it reads first, and that no version is lost when a
// call fails or the process stops in the middle of a version's restore.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <functional>
#include <map>

#include "savefile/BackupRestore.h"
#include "savefile/FileSystemMemory.h"
#include "savefile/SaveErrors.h"
#include "savefile/SaveGame.h"
#include "savefile/SaveHistory.h"
#include "savefile/SiblingPaths.h"
#include "tests/support/FaultyFileSystem.h"
#include "tests/support/SaveBuilder.h"
#include "tests/support/ScopedVariable.h"
#include "tests/support/TempDir.h"

namespace quellhart {
namespace {

namespace fs = std::filesystem;
using test::FaultyFileSystem;
using test::ReadFileBytes;

// The save after a commit of Day = `day`, byte for byte: a changed value is all that
// differs between two versions.
std::string SaveWithDay(int day) {
    return test::SaveBuilder().Header().Glob("Day", float(day)).Filler(200).Player().Bytes();
}

std::string BytesOf(FileSystem& files, const std::string& path) {
    FileHandle file = kNoFile;
    if (!files.OpenForReading(path, file).Ok()) return "(missing)";
    std::string bytes(1 << 16, '\0');
    size_t got = 0;
    files.ReadAt(file, 0, bytes.data(), bytes.size(), got);
    files.Close(file);
    bytes.resize(got);
    return bytes;
}

// The Day of each earlier version, oldest first; -1 for one that is no such save.
std::vector<int> VersionDays(FileSystem& files, const std::string& save,
                             std::vector<SaveVersion>* listed = nullptr) {
    std::vector<SaveVersion> versions;
    EXPECT_TRUE(ListVersions(files, save, versions).Ok());
    std::vector<int> days;
    for (const SaveVersion& version : versions) {
        int day = -1;
        for (int d = 0; d < 100; ++d)
            if (BytesOf(files, version.path) == SaveWithDay(d)) day = d;
        days.push_back(day);
    }
    if (listed) *listed = versions;
    return days;
}

bool CommitDay(FileSystem& files, const std::string& save, int day, int keep,
               SaveError* note = nullptr) {
    CSaveGame doc(files);
    if (!doc.Open(save) || !doc.Load()) return false;
    doc.SetHistoryKeep(keep);
    doc.SetGlobValue(0, float(day));
    const bool committed = doc.Commit();
    if (note) *note = committed ? doc.GetCommitNote() : doc.GetError();
    return committed;
}

// The two places a save may be: the disk, and the browser edition's memory.
struct Place {
    const char* name;
    std::unique_ptr<test::TempDir> dir;
    MemoryFileSystem memory;
    FileSystem& files;
    std::string save;
    explicit Place(bool onDisk)
        : name(onDisk ? "disk" : "memory"),
          dir(onDisk ? std::make_unique<test::TempDir>() : nullptr),
          files(onDisk ? SystemFileSystem() : static_cast<FileSystem&>(memory)),
          save(onDisk ? dir->File("save.ess") : "saves/save.ess") {
        if (onDisk)
            test::SaveBuilder().Raw(SaveWithDay(0)).WriteTo(save);
        else
            memory.Put(save, SaveWithDay(0));
        StampDay(0);
    }
    // Commits Day = `day`; the new save is written a second after the last.
    bool Commit(int day, int keep) {
        const bool committed = CommitDay(files, save, day, keep);
        StampDay(day);
        return committed;
    }

    // Makes the backup look written in 2001 (touched, copied from an archive).
    void AgeBackup() {
        const std::string backup = *BackupPathFor(save);
        if (dir)
            fs::last_write_time(
                backup, fs::file_time_type::clock::now() - std::chrono::hours(24 * 365 * 25));
        else
            memory.Put(backup, *memory.Contents(backup), std::int64_t{978'307'200} * 1'000'000'000);
    }

private:
    // A disk may give two files written in the same few milliseconds one time; the
    // versions here are a second apart, as a player's are.
    void StampDay(int day) {
        if (!dir) return;
        fs::last_write_time(save, fs::file_time_type::clock::now() - std::chrono::hours(1) +
                                      std::chrono::seconds(day));
    }
};

TEST(History, CommitsKeepTheNewestVersionsAndTheOriginal) {
    struct Case {
        int commits, keep;
        std::vector<int> kept;  // the Day of each version, oldest first, the backup last
        int agedBefore = 0;     // the commit before which the backup is made to look old
    };
    std::vector<int> oneToTwentyOne;
    for (int day = 2; day <= 22; ++day) oneToTwentyOne.push_back(day);
    std::vector<int> withDefault = {0};
    withDefault.insert(withDefault.end(), oneToTwentyOne.begin(), oneToTwentyOne.end());
    const Case cases[] = {
        {1, kDefaultHistoryKeep, {0}},  // only the backup
        {3, kDefaultHistoryKeep, {0, 1, 2}},
        // 23 commits: 22 versions in the history, of which the original and the 20
        // newest are kept; the backup after them.
        {23, kDefaultHistoryKeep, withDefault},
        {6, 2, {0, 3, 4, 5}},
        // A version that looks older than the original is one more version, listed
        // after it and trimmed first: the original is the first kept.
        {4, 2, {0, 2, 1, 3}, 4},
        {6, 2, {0, 3, 4, 5}, 4},
        {4, 0, {3}},  // none kept: the backup alone, as it always was
    };
    for (const bool onDisk : {true, false}) {
        for (const Case& c : cases) {
            Place place(onDisk);
            for (int day = 1; day <= c.commits; ++day) {
                if (day == c.agedBefore) place.AgeBackup();
                ASSERT_TRUE(place.Commit(day, c.keep)) << day;
            }
            const std::string where = std::string(place.name) + ", " + std::to_string(c.commits) +
                                      " commits keeping " + std::to_string(c.keep);
            EXPECT_EQ(BytesOf(place.files, place.save), SaveWithDay(c.commits)) << where;
            std::vector<SaveVersion> versions;
            EXPECT_EQ(VersionDays(place.files, place.save, &versions), c.kept) << where;
            for (size_t i = 0; i < versions.size(); ++i) {
                EXPECT_EQ(versions[i].original, i == 0) << where << ", version " << i + 1;
                EXPECT_EQ(versions[i].backup, i + 1 == versions.size()) << where;
                EXPECT_EQ(versions[i].bytes, int64_t(SaveWithDay(0).size())) << where;
                if (i > 1) {  // times order all but the original
                    EXPECT_LE(versions[i - 1].timeNs, versions[i].timeNs) << where;
                }
            }
            if (c.keep == 0) {
                FileInfo info;
                EXPECT_EQ(place.files.DescribePath(*HistoryPathFor(place.save), false, info),
                          FileError::kNotFound)
                    << where;
            }
        }
    }
}

// Files in the history folder that the editor did not name are never touched, nor
// counted as versions.
TEST(History, WhatTheEditorDidNotMakeStays) {
    test::TempDir dir;
    const std::string save = dir.File("save.ess"), history = dir.File("save.history");
    test::SaveBuilder().Raw(SaveWithDay(0)).WriteTo(save);
    fs::create_directory(history);
    const std::map<std::string, std::string> foreign = {
        {"notes.txt", "mine"},
        {"2026-12-08T21-40-03.123456789Z.ess.txt", "mine too"},
        {"2026-13-08T21-40-03.123456789Z.ess", "not a time"},
        {"2026-12-08T21-40-03.123456789Z_7.ess", "one digit"}};
    for (const auto& [name, bytes] : foreign)
        test::SaveBuilder().Raw(bytes).WriteTo(history + "/" + name);
    fs::create_directory(history + "/1999-01-01T00-00-00.000Z.ess");  // a folder
    for (int day = 1; day <= 6; ++day) ASSERT_TRUE(CommitDay(SystemFileSystem(), save, day, 1));
    EXPECT_EQ(VersionDays(SystemFileSystem(), save), (std::vector<int>{0, 4, 5}));
    for (const auto& [name, bytes] : foreign) EXPECT_EQ(ReadFileBytes(history + "/" + name), bytes);
    EXPECT_TRUE(fs::is_directory(history + "/1999-01-01T00-00-00.000Z.ess"));

    // A history kept before the original was marked in its name takes its oldest
    // version for it, and trimming keeps that one.
    fs::remove_all(history);
    fs::remove(dir.File("save.bak"));
    fs::create_directory(history);
    test::SaveBuilder()
        .Raw(SaveWithDay(7))
        .WriteTo(history + "/2001-01-01T00-00-00.000000000Z.ess");
    test::SaveBuilder()
        .Raw(SaveWithDay(8))
        .WriteTo(history + "/2002-01-01T00-00-00.000000000Z.ess");
    for (int day = 1; day <= 2; ++day) ASSERT_TRUE(CommitDay(SystemFileSystem(), save, day, 1));
    EXPECT_EQ(VersionDays(SystemFileSystem(), save), (std::vector<int>{7, 6, 1}));
}

// A history that is none of the editor's lets the commit go on where the new save is
// in place before the previous backup must step aside (an exchange of names): the
// backup is replaced, and the commit says so and why. A history the system fails to
// write (an I/O error, a full disk), or any that cannot take the backup where the old
// save must take the backup's name first (two renames), refuses the commit instead,
// and the save and its backup stay as they were.
TEST(History, AHistoryThatCannotTakeTheBackupIsSaidAndNeverCostsAVersionOnFailure) {
    struct Case {
        const char* what;
        bool fileInTheWay;
        const char* failing;  // a call that fails every time
        const char* cause;
        bool linkElsewhere = false;  // the folder's name a link to another folder
        bool systemFailure = false;  // refused on every file system
    };
    const Case cases[] = {
        {"a file under the folder's name", true, "", "Not a folder"},
        {"a link to another folder", false, "", "A link", true},
        {"a folder that cannot be made (read-only, full disk)", false, "CreateFolder",
         "CreateFolder failed (injected)", false, true},
        {"a version that cannot be moved in", false, "RenameToFreeName",
         "RenameToFreeName failed (injected)", false, true},
    };
    for (const bool exchange : {true, false}) {
        if (exchange && !test::SystemExchangesNames()) continue;
        for (const Case& c : cases) {
            const std::string what = std::string(c.what) + (exchange ? ", exchange" : ", renames");
            test::TempDir dir;
            const std::string save = dir.File("save.ess");
            test::SaveBuilder().Raw(SaveWithDay(0)).WriteTo(save);
            test::SaveBuilder().Raw(SaveWithDay(7)).WriteTo(dir.File("save.bak"));
            if (c.fileInTheWay) test::SaveBuilder().Raw("mine").WriteTo(dir.File("save.history"));
            // Elsewhere, a file with a version's name: never moved, trimmed or replaced.
            const std::string elsewhere = dir.File("other/2001-01-01T00-00-00.000000000Z.ess");
            if (c.linkElsewhere) {
                fs::create_directory(dir.File("other"));
                test::SaveBuilder().Raw("not a version").WriteTo(elsewhere);
                std::error_code linked;
                fs::create_directory_symlink("other", dir.File("save.history"), linked);
                if (linked) continue;  // a system where a user makes no links
            }
            FaultyFileSystem files([&](int, std::string_view name) {
                return name == c.failing ? FileError::kFailed : FileError::kNone;
            });
            files.exchangeSupported = exchange;
            // (Windows's replace-with-backup places the new save in the same call.)
            const bool refused = c.systemFailure || (!exchange && !files.ReplacesWithBackup());
            SaveError said;
            ASSERT_EQ(CommitDay(files, save, 1, kDefaultHistoryKeep, &said), !refused) << what;
            EXPECT_EQ(said.text, refused ? errors::kRenameSaveToBackup : errors::kVersionNotKept)
                << what;
            EXPECT_NE(said.cause.find(c.cause), std::string::npos) << what << ": " << said.cause;
            EXPECT_EQ(ReadFileBytes(save), SaveWithDay(refused ? 0 : 1)) << what;
            EXPECT_EQ(ReadFileBytes(dir.File("save.bak")), SaveWithDay(refused ? 7 : 0)) << what;
            if (c.fileInTheWay) {
                EXPECT_EQ(ReadFileBytes(dir.File("save.history")), "mine");
            }
            if (c.linkElsewhere) {
                EXPECT_EQ(test::FilesUnder(dir.File("other")),
                          (std::map<std::string, std::string>{
                              {"2001-01-01T00-00-00.000000000Z.ess", "not a version"}}));
                std::vector<SaveVersion> listed;
                EXPECT_FALSE(ListVersions(files, save, listed).Ok());
            }
        }
    }
}

// Each version put back, and then the save it replaced: the save is each version in
// turn, byte for byte, and in the end as it was, with every version still kept.
TEST(History, EachVersionRestoredAndBack) {
    for (const bool onDisk : {true, false}) {
        Place place(onDisk);
        for (int day = 1; day <= 4; ++day) ASSERT_TRUE(place.Commit(day, kDefaultHistoryKeep));
        const std::vector<int> before = VersionDays(place.files, place.save);
        ASSERT_EQ(before, (std::vector<int>{0, 1, 2, 3}));
        for (size_t n = 0; n < before.size(); ++n) {
            const std::string where =
                std::string(place.name) + ", version " + std::to_string(n + 1);
            std::vector<SaveVersion> versions;
            VersionDays(place.files, place.save, &versions);
            SaveError error;
            std::string keptAs;
            ASSERT_TRUE(RestoreVersion(place.save, versions[n], 20, error, keptAs, place.files))
                << where << ": " << error.text << " / " << error.cause;
            EXPECT_EQ(BytesOf(place.files, place.save), SaveWithDay(before[n])) << where;
            EXPECT_EQ(BytesOf(place.files, keptAs), SaveWithDay(4)) << where;
            // Back: the replaced save is a version like any other.
            std::vector<int> days = VersionDays(place.files, place.save, &versions);
            const auto replaced = std::find(days.begin(), days.end(), 4);
            ASSERT_NE(replaced, days.end()) << where;
            ASSERT_TRUE(RestoreVersion(place.save, versions[size_t(replaced - days.begin())], 20,
                                       error, keptAs, place.files))
                << where << ": " << error.text;
            EXPECT_EQ(BytesOf(place.files, place.save), SaveWithDay(4)) << where;
            days = VersionDays(place.files, place.save, &versions);
            std::sort(days.begin(), days.end());
            EXPECT_EQ(days, before) << where;
            // Once the original has been the save, no other version is taken for it.
            for (const SaveVersion& v : versions) EXPECT_FALSE(v.original) << where;
        }
        // Without an original, trimming keeps the newest alone.
        TrimHistory(place.files, place.save, 1);
        EXPECT_EQ(VersionDays(place.files, place.save), (std::vector<int>{3})) << place.name;
    }
}

// The files of the folder as a set of versions, by the Day each holds.
std::multiset<int> DaysIn(const fs::path& folder) {
    std::multiset<int> days;
    for (const auto& [name, bytes] : test::FilesUnder(folder)) {
        int day = -1;
        for (int d = 0; d < 10; ++d)
            if (bytes == SaveWithDay(d)) day = d;
        days.insert(day);
    }
    return days;
}

// A version's restore, with each of its calls failing once, and with the process
// stopped at each of them: the save is the old one or the version, and every version
// is under some name afterwards (after the next Open, for a stop).
// Restored with versions beyond the number kept too: the restore then trims the oldest
// (day 2), never the original, and only once it is done.
TEST(History, AVersionsRestoreLosesNoVersionAtAnyCall) {
    const auto prepare = [](test::TempDir& dir) {
        const std::string save = dir.File("save.ess");
        test::SaveBuilder().Raw(SaveWithDay(0)).WriteTo(save);
        for (int day = 1; day <= 5; ++day)
            EXPECT_TRUE(CommitDay(SystemFileSystem(), save, day, kDefaultHistoryKeep));
        std::vector<SaveVersion> versions;
        ListVersions(SystemFileSystem(), save, versions);
        return versions;
    };
    for (const bool exchange : {true, false})
        for (const int keep : {20, 2}) {
            if (exchange && !test::SystemExchangesNames()) continue;
            int calls = 0;
            {
                // A game loading the save at any moment finds one, where names are exchanged.
                test::TempDir dir;
                const std::vector<SaveVersion> versions = prepare(dir);
                bool saveMissing = false;
                FaultyFileSystem counting([&](int, std::string_view) {
                    saveMissing = saveMissing || !fs::exists(dir.File("save.ess"));
                    return FileError::kNone;
                });
                counting.exchangeSupported = exchange;
                SaveError error;
                std::string keptAs;
                ASSERT_TRUE(RestoreVersion(dir.File("save.ess"), versions[1], keep, error, keptAs,
                                           counting));
                EXPECT_EQ(saveMissing, !exchange);
                // Days 0 to 4 besides the save; day 1 is the save now, day 5 a version.
                const std::multiset<int> all{0, 1, 2, 3, 4, 5}, trimmed{0, 1, 3, 4, 5};
                EXPECT_EQ(DaysIn(dir.Path()), keep == 2 ? trimmed : all);
                calls = counting.Calls();
            }
            for (const bool stop : {false, true}) {
                for (int call = 1; call <= calls + (stop ? 1 : 0); ++call) {
                    test::TempDir dir;
                    const std::vector<SaveVersion> versions = prepare(dir);
                    const std::multiset<int> before = DaysIn(dir.Path());
                    std::multiset<int> trimmed = before;
                    if (keep == 2) trimmed.erase(trimmed.find(2));
                    FaultyFileSystem files =
                        stop ? FaultyFileSystem::CrashingAtCall(call)
                             : FaultyFileSystem::FailingCall(call, FileError::kFailed);
                    files.exchangeSupported = exchange;
                    SaveError error;
                    std::string keptAs;
                    const bool restored = RestoreVersion(dir.File("save.ess"), versions[1], keep,
                                                         error, keptAs, files);
                    const std::string where =
                        std::string(exchange ? "exchange, " : "renames, ") + "keep " +
                        std::to_string(keep) + ", " + (stop ? "stopped" : "failing") + " at call " +
                        std::to_string(call) + " " +
                        (call <= files.Calls() ? files.Names()[size_t(call - 1)]
                                               : std::string("(none)"));
                    if (stop) {
                        CSaveGame next;
                        EXPECT_TRUE(next.Open(dir.File("save.ess")))
                            << where << ": " << next.GetErrorText();
                    } else if (!restored) {
                        // A refusal says why, and leaves every file under the name it had.
                        EXPECT_NE(error.cause.find("failed (injected)"), std::string::npos)
                            << where << ": " << error.text;
                        EXPECT_TRUE(fs::exists(versions[1].path)) << where;
                    }
                    const std::string save = ReadFileBytes(dir.File("save.ess"));
                    EXPECT_TRUE(save == SaveWithDay(5) || save == SaveWithDay(1)) << where;
                    if (!stop) {
                        EXPECT_EQ(save, restored ? SaveWithDay(1) : SaveWithDay(5)) << where;
                    }
                    // A restore that says it is done kept the save it replaced as a version.
                    if (restored) {
                        ASSERT_TRUE(fs::exists(keptAs)) << where << ": '" << keptAs << "'";
                        EXPECT_EQ(ReadFileBytes(keptAs), SaveWithDay(5)) << where;
                    }
                    // Trimmed only by a restore that went through (a failed removal keeps it).
                    const std::multiset<int> days = DaysIn(dir.Path());
                    if (restored || stop) {
                        EXPECT_TRUE(days == before || days == trimmed) << where;
                    } else {
                        EXPECT_EQ(days, before) << where;
                    }
                    for (const auto& entry : fs::directory_iterator(dir.Path()))
                        EXPECT_NE(entry.path().extension(), ".swap") << where;
                }
            }
        }
}

TEST(History, AVersionsRestoreWhoseUndoFailsSaysWhereTheSaveIs) {
    test::TempDir dir;
    const std::string save = dir.File("save.ess");
    test::SaveBuilder().Raw(SaveWithDay(0)).WriteTo(save);
    for (int day = 1; day <= 2; ++day)
        ASSERT_TRUE(CommitDay(SystemFileSystem(), save, day, kDefaultHistoryKeep));
    std::vector<SaveVersion> versions;
    ASSERT_TRUE(ListVersions(SystemFileSystem(), save, versions).Ok());
    int renames = 0;
    FaultyFileSystem files([&](int, std::string_view name) {
        const bool second = name == "RenameToFreeName" && ++renames >= 2 && renames <= 3;
        return second ? FileError::kFailed : FileError::kNone;
    });
    files.exchangeSupported = false;  // the save steps aside, and cannot go back
    SaveError error;
    std::string keptAs;
    EXPECT_FALSE(RestoreVersion(save, versions[0], 20, error, keptAs, files));
    EXPECT_EQ(error.text, errors::kRestoreVersion);
    EXPECT_NE(error.cause.find("The save is now " + dir.File("save.swap") + "."), std::string::npos)
        << error.cause;
    CSaveGame next;
    EXPECT_TRUE(next.Open(save)) << next.GetErrorText();
    EXPECT_EQ(ReadFileBytes(save), SaveWithDay(2));
    EXPECT_EQ(ReadFileBytes(versions[0].path), SaveWithDay(0));
}

TEST(History, TimesAreShownInUtc) {
    const std::pair<std::int64_t, const char*> cases[] = {
        {0, "1970-01-01T00:00:00Z"},
        {951782400'000'000'000, "2000-02-29T00:00:00Z"},
        {1796766003'999'000'000, "2026-12-08T21:40:03Z"},
        {-1'000'000, "1969-12-31T23:59:59Z"},
    };
    for (const auto& [timeNs, text] : cases) EXPECT_EQ(VersionTimeText(timeNs), text) << timeNs;
}

TEST(History, TheKeptNumberComesFromTheEnvironmentOrTheDefault) {
    const std::pair<const char*, int> cases[] = {{nullptr, kDefaultHistoryKeep},
                                                 {"", kDefaultHistoryKeep},
                                                 {"0", 0},
                                                 {"35", 35},
                                                 {"-1", kDefaultHistoryKeep},
                                                 {"2x", kDefaultHistoryKeep},
                                                 {" 3", kDefaultHistoryKeep}};
    for (const auto& [value, keep] : cases) {
        const test::ScopedVariable variable(kHistoryKeepVariable, value);
        std::string problem;
        EXPECT_EQ(HistoryKeepFromEnvironment(&problem), keep) << (value ? value : "unset");
        // Anything but a number, or nothing, is said.
        const bool number = !value || !*value || ParseWholeNumber(value);
        EXPECT_EQ(problem.empty(), number) << (value ? value : "unset") << ": " << problem;
    }
}

// What a restore reads before it puts a file back: nothing of a version a commit saw
// whole and nobody wrote to since (the note it left still matches), the whole file of
// any other, which is refused when it does not load.
// Writes `bytes` over the file in place (the same file, a new modification time
// unless `keepTime`).
void WriteInPlace(const std::string& path, const std::string& bytes, bool keepTime) {
    const fs::file_time_type time = fs::last_write_time(path);
    test::SaveBuilder().Raw(bytes).WriteTo(path);
    fs::last_write_time(path, keepTime ? time : time + std::chrono::seconds(5));
}

int ReadsIn(const FaultyFileSystem& files) {
    return int(std::count(files.Names().begin(), files.Names().end(), "ReadAt"));
}

TEST(RestoreCheck, OnlyAVersionTheCommitSawWholeIsPutBackUnread) {
    struct Case {
        const char* what;
        std::function<void(const std::string& backup)> meanwhile;
        bool restored;
        bool readWhole;
    };
    const std::string broken = SaveWithDay(1).substr(0, 300);
    const Case cases[] = {
        {"untouched since the commit", [](const std::string&) {}, true, false},
        {"written to, whole", [](const std::string& b) { WriteInPlace(b, SaveWithDay(7), false); },
         true, true},
        {"written to, broken, the same size",
         [&](const std::string& b) {
             std::string bytes = SaveWithDay(1);
             bytes.replace(bytes.find("NPC_"), 4, "XPC_");  // no player record
             WriteInPlace(b, bytes, false);
         },
         false, true},
        {"cut short, its time put back",
         [&](const std::string& b) { WriteInPlace(b, broken, true); }, false, true},
        {"replaced by a copy that is broken",
         [&](const std::string& b) {
             fs::remove(b);
             test::SaveBuilder().Raw(broken).WriteTo(b);
         },
         false, true},
    };
    for (const Case& c : cases) {
        test::TempDir dir;
        const std::string save = dir.File("save.ess"), backup = dir.File("save.bak");
        test::SaveBuilder().Raw(SaveWithDay(1)).WriteTo(save);
        ASSERT_TRUE(CommitDay(SystemFileSystem(), save, 2, kDefaultHistoryKeep)) << c.what;
        std::string note;
        if (SystemFileSystem().ReadNote(backup, note) == FileError::kNotSupported)
            GTEST_SKIP() << "this file system keeps no notes with its files";
        c.meanwhile(backup);
        const std::string before = ReadFileBytes(backup);

        FaultyFileSystem files;
        SaveError error;
        EXPECT_EQ(RestoreBackup(save, kDefaultHistoryKeep, error, files), c.restored)
            << c.what << ": " << error.text;
        // The whole backup is read where it is not known whole; a restore that is
        // refused leaves both where they were.
        EXPECT_EQ(ReadsIn(files) > 0, c.readWhole) << c.what;
        EXPECT_TRUE(ReadFileBytes(c.restored ? save : backup) == before) << c.what;
        EXPECT_TRUE(ReadFileBytes(c.restored ? backup : save) == SaveWithDay(2)) << c.what;
    }
}

// Both versions of a commit are known whole: a restore and the restore that undoes
// it read neither, and a version kept in the history keeps what its commit knew.
TEST(RestoreCheck, BackAndForthAndFromTheHistoryNothingIsRead) {
    test::TempDir dir;
    const std::string save = dir.File("save.ess");
    test::SaveBuilder().Raw(SaveWithDay(1)).WriteTo(save);
    for (int day = 2; day <= 3; ++day)
        ASSERT_TRUE(CommitDay(SystemFileSystem(), save, day, kDefaultHistoryKeep));
    std::string note;
    if (SystemFileSystem().ReadNote(dir.File("save.bak"), note) == FileError::kNotSupported)
        GTEST_SKIP() << "this file system keeps no notes with its files";
    for (const int expected : {2, 3}) {
        FaultyFileSystem files;
        SaveError error;
        ASSERT_TRUE(RestoreBackup(save, kDefaultHistoryKeep, error, files)) << error.text;
        EXPECT_EQ(ReadsIn(files), 0) << "restored day " << expected;
        EXPECT_TRUE(ReadFileBytes(save) == SaveWithDay(expected)) << "restored day " << expected;
    }
    std::vector<SaveVersion> versions;
    ASSERT_TRUE(ListVersions(SystemFileSystem(), save, versions).Ok());
    ASSERT_FALSE(versions.empty());
    const std::string version = ReadFileBytes(versions[0].path);
    FaultyFileSystem files;
    SaveError error;
    std::string keptAs;
    ASSERT_TRUE(RestoreVersion(save, versions[0], kDefaultHistoryKeep, error, keptAs, files))
        << error.text;
    EXPECT_EQ(ReadsIn(files), 0);
    EXPECT_TRUE(ReadFileBytes(save) == version);
}

}  // namespace
}  // namespace quellhart
