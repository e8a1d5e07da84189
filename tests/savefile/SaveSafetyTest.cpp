// What a commit does when it is not alone: another commit of the same save, a game
// that saves meanwhile, files of other kinds under the save's names, hostile
// lengths.
#include <gtest/gtest.h>

#ifdef _WIN32
#include <windows.h>
#endif

#include <algorithm>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <limits>
#include <vector>

#include "savefile/BackupRestore.h"
#include "savefile/SaveErrors.h"
#include "savefile/SaveHistory.h"
#include "savefile/SiblingPaths.h"
#include "tests/support/CoarseTimes.h"
#include "tests/support/FaultyFileSystem.h"
#include "tests/support/LoadedSave.h"
#include "tests/support/SaveGameProbe.h"

namespace quellhart {
namespace {

namespace fs = std::filesystem;
using test::ReadFileBytes;
using test::SaveBuilder;

class SaveSafetyTest : public test::LoadedSaveTest {
protected:
    // Runs `during` once, when the commit of a document on `files` has written its
    // work file and is about to make it durable.
    // Runs `during` once, before the first call named `call` after the work file is made.
    test::FaultyFileSystem PausingBefore(std::string_view call, std::function<void()> during) {
        return test::FaultyFileSystem(
            [during, call, made = false, done = false](int, std::string_view name) mutable {
                made = made || name == "CreateNew";
                if (made && name == call && !done) {
                    done = true;
                    during();
                }
                return FileError::kNone;
            });
    }
    test::FaultyFileSystem PausingBeforeSync(std::function<void()> during) {
        return PausingBefore("Sync", std::move(during));
    }
    void ExpectNothingWritten(const std::string& saveBytes) {
        EXPECT_EQ(ReadFileBytes(SavePath()), saveBytes);
        EXPECT_FALSE(fs::exists(WorkPath()));
        EXPECT_FALSE(fs::exists(BackupPath()));
    }
};

TEST_F(SaveSafetyTest, ASecondCommitOfTheSaveWaitsForNoneAndTouchesNothing) {
    const SaveBuilder save = test::StandardSave();
    save.WriteTo(SavePath());
    SaveBuilder().Header().Glob("Day", 1.0f).Player().WriteTo(BackupPath());
    bool workFileKept = false;
    std::string secondError;
    SaveError restoreError;
    test::FaultyFileSystem files = PausingBeforeSync([&] {
        // Another window opens the same save while the first commit is running: the
        // work file is not stale and stays; its own commit is refused.
        CSaveGame second;
        ASSERT_TRUE(second.Open(SavePath()) && second.Load());
        workFileKept = fs::exists(WorkPath());
        ChangeDay(second, 55.0f);
        EXPECT_FALSE(second.Commit());
        secondError = second.GetErrorText();
        // Nor can the backup be restored meanwhile.
        EXPECT_FALSE(RestoreBackup(SavePath(), kDefaultHistoryKeep, restoreError));
    });
    CSaveGame first(files);
    ASSERT_TRUE(first.Open(SavePath()) && first.Load());
    ChangeDay(first, 11.0f);
    ASSERT_TRUE(first.Commit()) << first.GetErrorText();
    EXPECT_TRUE(workFileKept);
    EXPECT_EQ(secondError, errors::kBeingWritten);
    EXPECT_EQ(restoreError.text, errors::kBeingWritten);

    CSaveGame result;
    ASSERT_TRUE(result.Open(SavePath()) && result.Load());
    EXPECT_EQ(result.Glob(0).value, 11.0f);
    EXPECT_EQ(ReadFileBytes(BackupPath()), save.Bytes());
}

TEST_F(SaveSafetyTest, AFailedCommitLetsTheNextOneHaveTheLock) {
    ASSERT_TRUE(OpenAndLoad(test::StandardSave()));
    ChangeDay(*doc, 5.0f);
    doc->Glob(0).rawAddress += 1;  // no longer where the patch looks
    ASSERT_FALSE(doc->Commit());
    CSaveGame next;  // while the failed document still lives
    ASSERT_TRUE(next.Open(SavePath()) && next.Load());
    ChangeDay(next, 6.0f);
    EXPECT_TRUE(next.Commit()) << next.GetErrorText();
}

TEST_F(SaveSafetyTest, ASaveChangedOnDiskAfterTheLoadIsNotOverwritten) {
    const SaveBuilder save = test::StandardSave();
    std::string other = save.Bytes();
    other[other.size() - 1] ^= 1;  // the same size, one byte changed
    std::vector<std::function<void(const std::string&)>> changes = {
        // The game saves in place, later: same size, a newer time.
        [&](const std::string& path) {
            const auto loadedAt = fs::last_write_time(path);
            SaveBuilder().Raw(other).WriteTo(path);
            fs::last_write_time(path, loadedAt + std::chrono::seconds(2));
        },
        [&](const std::string& path) { SaveBuilder().Raw(other + "grown").WriteTo(path); },
        // The game has cut the save short to write it anew.
        [&](const std::string& path) { SaveBuilder().Raw(other.substr(0, 100)).WriteTo(path); },
    };
#ifndef _WIN32  // Windows lets no one rename over a file that is open
    // Another program writes a new file and renames it over the save.
    changes.push_back([&](const std::string& path) {
        SaveBuilder().Raw(other).WriteTo(path + ".new");
        fs::rename(path + ".new", path);
    });
#endif
    for (const auto& change : changes) {
        // Before the commit, while it copies the save, once it has copied it.
        for (const std::string_view during : {"", "ReadAt", "Sync"}) {
            const bool duringTheCommit = !during.empty();
            ASSERT_TRUE(OpenAndLoad(save));
            const std::string path = SavePath();
            test::FaultyFileSystem files = PausingBefore(during, [&] { change(path); });
            CSaveGame loaded(files);
            ASSERT_TRUE(loaded.Open(path) && loaded.Load());
            if (!duringTheCommit) change(path);
            ChangeDay(loaded, 9.0f);
            EXPECT_FALSE(loaded.Commit());
            // A save that ends before the copy does is said to have changed while the
            // new one was written, with where it ended.
            const std::string now = ReadFileBytes(path);
            const bool cutShort = during == "ReadAt" && now.size() < other.size();
            EXPECT_EQ(loaded.GetErrorText(),
                      cutShort ? errors::kChangedWhileWritten : errors::kChangedOnDisk);
            if (cutShort) {
                EXPECT_NE(loaded.GetError().cause.find("bytes in"), std::string::npos);
            }
            EXPECT_FALSE(loaded.CanCommit());  // the edits were made on another save
            // Found before the commit made anything, it makes nothing at all.
            EXPECT_EQ(std::count(files.Names().begin(), files.Names().end(), "CreateNew"),
                      duringTheCommit ? 1 : 0);
            ExpectNothingWritten(now);
            const size_t common = std::min(now.size(), other.size());
            EXPECT_EQ(now.substr(0, common), other.substr(0, common));
        }
    }
}

// A change time that moved for an attribute alone is no change of the save: its bytes
// are those loaded. The user who mends a refusal (clears a read-only mark, lets the
// game release the save, changes its access) commits the same edits, and the new save
// has the access the old one has now. A rewrite with the time put back is refused by
// its bytes.
TEST_F(SaveSafetyTest, AnAttributeChangedAfterARefusalIsNoChange) {
    struct Row {
        bool refusedFirst, rewritten, committed;
    };
    const fs::perms now = fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read;
    for (const Row row : {Row{true, false, true}, Row{true, true, false}, Row{false, false, true},
                          Row{false, true, false}}) {
        SCOPED_TRACE(std::to_string(row.refusedFirst) + std::to_string(row.rewritten));
        ASSERT_TRUE(OpenAndLoad(test::StandardSave()));
        fs::remove(BackupPath());
        ChangeDay(*doc, 9.0f);
        if (row.refusedFirst) {
            FileSystem& files = SystemFileSystem();
            FileHandle held = kNoFile;  // the game holds the save
            ASSERT_TRUE(files.OpenForReading(SavePath(), held).Ok());
            ASSERT_TRUE(files.TryLock(held).Ok());
            EXPECT_FALSE(doc->Commit());
            EXPECT_EQ(doc->GetErrorText(), errors::kBeingWritten);
            files.Unlock(held);
            files.Close(held);
            ASSERT_TRUE(doc->CanCommit());
        }
        if (row.rewritten) {  // the last byte, the time put back
            const auto time = fs::last_write_time(SavePath());
            std::fstream file(SavePath(), std::ios::in | std::ios::out | std::ios::binary);
            file.seekp(-1, std::ios::end);
            file.put('\x7F');
            file.close();
            fs::last_write_time(SavePath(), time);
        } else {
            fs::permissions(SavePath(), fs::perms::owner_write, fs::perm_options::remove);
            fs::permissions(SavePath(), now);
        }
        EXPECT_EQ(doc->Commit(), row.committed) << doc->GetErrorText();
        CSaveGame result;
        ASSERT_TRUE(result.Open(SavePath()) && result.Load());
        EXPECT_EQ(result.Glob(0).value, row.committed ? 9.0f : 12.0f);
        if (!row.committed) {
            EXPECT_EQ(doc->GetErrorText(), errors::kChangedOnDisk);
            EXPECT_FALSE(fs::exists(BackupPath()));
        }
#ifndef _WIN32  // (Windows keeps only a read-only mark)
        if (row.committed) {
            EXPECT_EQ(fs::status(SavePath()).permissions(), now);
        }
#endif
    }
}

// Where times are kept to the second (exFAT), or a game rewrites its save in place
// within one tick of the clock, size and time cannot tell: the bytes the commit relies
// on can, and the change time, which a writer cannot put back as it can the
// modification time, tells a rewrite anywhere else. Whenever such a rewrite comes, up
// to the moment the old save leaves the save's name (anywhere in the file: up to the
// commit's last look before the swap), the commit refuses and the game's save keeps
// the name. Where there is no change time either, the bytes the commit copies decide,
// up to the end of the copy: a save spliced from two is never made; after it, the
// bytes of the file that leaves the save's name.
TEST_F(SaveSafetyTest, ARewriteInPlaceWithTheSameSizeAndTimeIsCaught) {
    const SaveBuilder save = test::StandardSave();
    struct Moment {
        bool exchange;
        const char* call;          // the rewrite comes just before the commit's first such call
        bool swapped;              // by then the old save is under the work file's name
        bool reliedOn;             // the rewrite changes a byte the commit copies from memory
        bool coarseTimes = false;  // FAT's and exFAT's
    };
    for (const Moment m :
         {Moment{true, "", false, true}, Moment{true, "Sync", false, true},
          Moment{true, "Exchange", false, true}, Moment{true, "SyncFolderOf", true, true},
          Moment{false, "Rename", false, true}, Moment{true, "", false, false},
          Moment{true, "Sync", false, false}, Moment{false, "Sync", false, false},
          // The copy's first block is written before its last is read: torn in two.
          Moment{true, "", false, false, true}, Moment{true, "WriteAt", false, false, true},
          Moment{false, "WriteAt", false, false, true},
          // After the copy: the file that leaves the save's name is compared whole.
          Moment{true, "Sync", false, false, true}, Moment{false, "Sync", false, false, true}})
        // With a previous backup too: a refused commit leaves it under a name.
        for (const bool previousBackup : {false, true})
            for (const std::int64_t tick : {test::kFatTimes, test::kExFatTimes}) {
                if (!m.coarseTimes && tick != test::kFatTimes) continue;  // fine times: once
                if (m.exchange && !test::SystemExchangesNames()) continue;
                ASSERT_TRUE(OpenAndLoad(save));
                const std::string path = SavePath();
                const std::string previous = test::StandardSave().Filler(33).Bytes();
                if (previousBackup) SaveBuilder().Raw(previous).WriteTo(BackupPath());
                const int64_t at =
                    m.reliedOn ? doc->Glob(0).rawAddress + 4 : int64_t(save.Bytes().size()) - 1;
                const auto rewrite = [&] {  // the game writes into the file it has open
                    const std::string old = m.swapped ? WorkPath() : path;
                    const auto time = fs::last_write_time(old);
                    std::fstream file(old, std::ios::in | std::ios::out | std::ios::binary);
                    file.seekp(at);
                    file.put('\x7F');
                    file.close();
                    fs::last_write_time(old, time);
                };
                const std::string where =
                    std::string(m.call) + (m.reliedOn ? "" : ", elsewhere") +
                    (m.coarseTimes ? ", times to " + std::to_string(tick) : "") +
                    (previousBackup ? ", a previous backup" : "");
                bool committing = false, rewritten = false;
                test::FaultyFileSystem files([&](int, std::string_view name) {
                    if (committing && !rewritten && name == m.call) {
                        rewritten = true;
                        rewrite();
                    }
                    return FileError::kNone;
                });
                files.exchangeSupported = m.exchange;
                files.replaceSupported = false;  // the renames, wherever they run
                files.coarseTimes = m.coarseTimes ? tick : 0;
                CSaveGame loaded(files);
                ASSERT_TRUE(loaded.Open(path) && loaded.Load());
                if (*m.call == '\0') rewrite();
                ChangeDay(loaded, 9.0f);
                committing = true;
                EXPECT_FALSE(loaded.Commit()) << where;
                EXPECT_EQ(loaded.GetErrorText(), errors::kChangedOnDisk) << where;
                EXPECT_FALSE(loaded.CanCommit()) << where;
                EXPECT_EQ(ReadFileBytes(path)[size_t(at)], '\x7F') << where;
                EXPECT_FALSE(fs::exists(WorkPath())) << where;
                // Rewritten just before the exchange or after it, the rewrite is caught after it;
                // so is one after the copy where the times cannot show it.
                const bool afterTheCopy = std::string(m.call) == "Sync" && m.coarseTimes;
                if (m.exchange &&
                    (m.swapped || std::string(m.call) == "Exchange" || afterTheCopy)) {
                    // Caught after the exchange: the new save, which a game saving in place may
                    // have opened by the save's name meanwhile, is kept as the backup.
                    CSaveGame kept;
                    ASSERT_TRUE(kept.OpenReadOnly(BackupPath()) && kept.Load()) << where;
                    EXPECT_EQ(kept.Glob(0).value, 9.0f) << where;
                    EXPECT_NE(loaded.GetError().cause.find(BackupPath()), std::string::npos)
                        << where;
                    fs::remove(BackupPath());
                    // The backup before it stepped aside among the versions, and is named.
                    if (previousBackup) {
                        const fs::path history = *HistoryPathFor(path);
                        ASSERT_TRUE(fs::is_directory(history)) << where;
                        const fs::path version = fs::directory_iterator(history)->path();
                        EXPECT_EQ(ReadFileBytes(version.string()), previous) << where;
                        EXPECT_NE(loaded.GetError().cause.find(version.string()), std::string::npos)
                            << where << ": " << loaded.GetError().cause;
                    }
                } else if (previousBackup) {
                    EXPECT_EQ(ReadFileBytes(BackupPath()), previous) << where;
                } else {
                    EXPECT_FALSE(fs::exists(BackupPath())) << where;
                }
                fs::remove(BackupPath());
                fs::remove_all(*HistoryPathFor(path));
            }
}

// A save that is read-only, on every system, or that another program holds open and
// lets no one delete (Windows, whose replace would fail) is refused before anything is
// made, and the message says why. Nothing is left beside the save, and the commit
// after works once the cause is gone.
TEST_F(SaveSafetyTest, ASaveTheSystemWillNotReplaceIsRefusedWithItsReason) {
    struct Case {
        const char* cause;  // in the reason line; "" for the system's own words
        std::function<std::function<void()>(const std::string&)> hold;  // returns the release
    };
    const std::vector<Case> cases = {
        {"read-only",
         [](const std::string& path) {
             fs::permissions(
                 path, fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                 fs::perm_options::remove);
             return
                 [path] { fs::permissions(path, fs::perms::owner_write, fs::perm_options::add); };
         }},
#ifdef _WIN32
        {"Another program has the file open",
         [](const std::string& path) {
             const HANDLE held = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                             OPEN_EXISTING, 0, nullptr);
             return [held] { CloseHandle(held); };
         }},
#endif
    };
    for (const Case& c : cases) {
        ASSERT_TRUE(OpenAndLoad(test::StandardSave()));
        const auto release = c.hold(SavePath());
        ASSERT_TRUE(doc->Open(SavePath()) && doc->Load());
        ChangeDay(*doc, 5.0f);
        EXPECT_FALSE(doc->Commit()) << c.cause;
        EXPECT_FALSE(doc->GetError().cause.empty()) << c.cause;
        EXPECT_NE(doc->GetError().cause.find(c.cause), std::string::npos)
            << c.cause << ": " << doc->GetError().cause;
        release();
        EXPECT_EQ(std::distance(fs::directory_iterator(dir.Path()), {}), 1) << c.cause;
        CSaveGame next;
        ASSERT_TRUE(next.Open(SavePath()) && next.Load());
        ChangeDay(next, 6.0f);
        EXPECT_TRUE(next.Commit()) << c.cause << ": " << next.GetErrorText();
        fs::remove(BackupPath());
    }
}

// A lock sits on a file, a claim on a name: taken on a file whose name has moved on
// since it was opened, it counts as held by another, and the name's new file is left
// alone. Here another program puts a file of its own under the work file's name in the
// moment between the commit's creating and locking its work file.
TEST_F(SaveSafetyTest, AWorkFileWhoseNameMovedOnIsNotClaimedNorRemoved) {
#ifdef _WIN32
    GTEST_SKIP() << "a file's name stays with it there while it is open";
#endif
    ASSERT_TRUE(OpenAndLoad(test::StandardSave()));
    bool replaced = false;
    test::FaultyFileSystem files([&](int, std::string_view name) {
        if (name == "TryLock" && fs::exists(WorkPath()) && !replaced) {
            replaced = true;
            fs::remove(WorkPath());
            SaveBuilder().Raw("another program's").WriteTo(WorkPath());
        }
        return FileError::kNone;
    });
    CSaveGame loaded(files);
    ASSERT_TRUE(loaded.Open(SavePath()) && loaded.Load());
    ChangeDay(loaded, 3.0f);
    EXPECT_FALSE(loaded.Commit());
    EXPECT_TRUE(replaced);
    EXPECT_EQ(loaded.GetErrorText(), errors::kOpenOutForWrite);
    EXPECT_EQ(ReadFileBytes(WorkPath()), "another program's");
    EXPECT_EQ(ReadFileBytes(SavePath()), test::StandardSave().Bytes());
}

TEST_F(SaveSafetyTest, AFolderIsNoSaveAndNoBackup) {
    fs::create_directory(SavePath());
    CSaveGame folder;
    EXPECT_FALSE(folder.Open(SavePath()));
    EXPECT_EQ(folder.GetErrorText(), errors::kUnableToOpenSave);
    fs::create_directory(BackupPath());
    EXPECT_FALSE(HasBackup(SavePath()));
}

TEST_F(SaveSafetyTest, ARefusedOpenLeavesTheDocumentEmpty) {
    SaveBuilder().Raw("nope").WriteTo(dir.File("other.ess"));
    for (const std::string& refused :
         {dir.File("missing.ess"), dir.File("other.ess"), dir.File("noextension")}) {
        ASSERT_TRUE(OpenAndLoad(test::StandardSave()));
        EXPECT_FALSE(doc->Open(refused)) << refused;
        EXPECT_EQ(doc->SavePath(), "") << refused;
        EXPECT_EQ(doc->GlobCount(), 0) << refused;
        EXPECT_FALSE(test::SaveGameProbe::IsInputOpen(*doc)) << refused;
        EXPECT_FALSE(doc->Load()) << refused;
    }
}

TEST_F(SaveSafetyTest, FieldsLongerThanOneMebibyteAreRefusedBeforeAllocation) {
    const std::string big(size_t(kMaxFieldBytes) + 1, 'x');
    struct Case {
        SaveBuilder save;
        const char* error;
    };
    Case cases[] = {
        {SaveBuilder().Header().Glob(big, 1.0f).Player(), errors::kGlobExtraction},
        {SaveBuilder().Header().Glob("Day", 1.0f, big).Player(), errors::kGlobExtraction},
        {SaveBuilder().Header().Glob("Day", 1.0f).Player({.name = big}), errors::kPlayerExtraction},
    };
    for (const Case& c : cases) {
        EXPECT_FALSE(OpenAndLoad(c.save));
        EXPECT_EQ(doc->GetErrorText(), c.error);
    }
    // A length of 200 MB in a sparse file of 300 MB: nothing of that size is made.
    SaveBuilder sparse = SaveBuilder().Header().Raw("GLOB").Raw(std::string(12, '\0')).Raw("NAME");
    sparse.Raw(test::LittleEndian32(200'000'000));
    sparse.WriteTo(SavePath());
    fs::resize_file(SavePath(), 300'000'000);
    CSaveGame huge;
    ASSERT_TRUE(huge.Open(SavePath()));
    EXPECT_FALSE(huge.Load());
    EXPECT_EQ(huge.GetErrorText(), errors::kGlobExtraction);
}

TEST_F(SaveSafetyTest, APlayerSizeWordThatWouldOverflowIsNotWritten) {
    SaveBuilder save = test::StandardSave();
    std::string bytes = save.Bytes();
    const size_t sizeWord = bytes.find("NPC_") + 4;
    const int32_t nearMax = std::numeric_limits<int32_t>::max() - 2;
    std::memcpy(bytes.data() + sizeWord, &nearMax, sizeof nearMax);
    ASSERT_TRUE(OpenAndLoad(SaveBuilder().Raw(bytes)));
    PlayerRecord record = doc->Player();
    record[PlayerRecord::FNAM] = Subrecord::FromText("A much longer name");
    doc->SetPlayerData(record);
    EXPECT_FALSE(doc->Commit());
    EXPECT_EQ(doc->GetErrorText(), errors::kReconstruction);
    ExpectNothingWritten(bytes);
}

}  // namespace
}  // namespace quellhart
