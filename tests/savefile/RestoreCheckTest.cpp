// What a restore reads before it puts a file back: nothing of a version a commit saw
// whole and nobody wrote to since (the note it left still matches), the whole file of
// any other, which is refused when it does not load.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <functional>

#include "savefile/BackupRestore.h"
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

std::string SaveWithDay(int day) {
    return test::SaveBuilder().Header().Glob("Day", float(day)).Filler(4000).Player().Bytes();
}

::testing::AssertionResult CommitDay(FileSystem& files, const std::string& save, int day) {
    CSaveGame doc(files);
    if (doc.Open(save) && doc.Load()) {
        doc.Glob(0).value = float(day);
        doc.Glob(0).modified = true;
        if (doc.Commit()) return ::testing::AssertionSuccess();
    }
    return ::testing::AssertionFailure() << doc.GetErrorText() << " / " << doc.GetError().cause;
}

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
        ASSERT_TRUE(CommitDay(SystemFileSystem(), save, 2)) << c.what;
        std::string note;
        if (SystemFileSystem().ReadNote(backup, note) == FileError::kNotSupported)
            GTEST_SKIP() << "this file system keeps no notes with its files";
        c.meanwhile(backup);
        const std::string before = ReadFileBytes(backup);

        FaultyFileSystem files;
        SaveError error;
        EXPECT_EQ(RestoreBackup(save, error, files), c.restored) << c.what << ": " << error.text;
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
    for (int day = 2; day <= 3; ++day) ASSERT_TRUE(CommitDay(SystemFileSystem(), save, day));
    std::string note;
    if (SystemFileSystem().ReadNote(dir.File("save.bak"), note) == FileError::kNotSupported)
        GTEST_SKIP() << "this file system keeps no notes with its files";
    for (const int expected : {2, 3}) {
        FaultyFileSystem files;
        SaveError error;
        ASSERT_TRUE(RestoreBackup(save, error, files)) << error.text;
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
