// What only POSIX systems have: FIFOs, permission bits, file size limits and forked
// processes, each against the commit.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <algorithm>
#include <csignal>
#include <filesystem>
#include <functional>
#include <iostream>
#include <numeric>
#include <tuple>
#include <utility>
#include <vector>

#include "savefile/BackupRestore.h"
#include "savefile/SaveErrors.h"
#include "savefile/SaveHistory.h"
#include "savefile/SiblingPaths.h"
#include "tests/support/LoadedSave.h"
#include "tests/support/SaveBuilder.h"

namespace quellhart {
namespace {

namespace fs = std::filesystem;
using test::LittleEndian32;
using test::ReadFileBytes;
using test::SaveBuilder;

using PosixFilesTest = test::LoadedSaveTest;

TEST_F(PosixFilesTest, TheNewSaveKeepsTheOldOnesPermissions) {
    ASSERT_TRUE(OpenAndLoad(test::StandardSave()));
    fs::permissions(SavePath(),
                    fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    // Reloaded so that the change of mode is what the document saw.
    ASSERT_TRUE(doc->Open(SavePath()) && doc->Load());
    ChangeDay(*doc, 1.0f);
    ASSERT_TRUE(doc->Commit()) << doc->GetErrorText();
    struct stat st {};
    ASSERT_EQ(::stat(SavePath().c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0640u);
    EXPECT_EQ(st.st_uid, ::getuid());
}

TEST_F(PosixFilesTest, AFifoIsNeitherASaveNorABackupAndNeverBlocks) {
    // A FIFO would block an open for reading forever.
    ASSERT_EQ(::mkfifo(SavePath().c_str(), 0600), 0);
    CSaveGame fifo;
    EXPECT_FALSE(fifo.Open(SavePath()));
    EXPECT_EQ(fifo.GetErrorText(), errors::kUnableToOpenSave);
    fs::remove(SavePath());

    // Nor is it replaced: it is named, and stays, and the same edits go once it is gone.
    ASSERT_EQ(::mkfifo(BackupPath().c_str(), 0600), 0);
    EXPECT_FALSE(HasBackup(SavePath()));
    const SaveBuilder save = test::StandardSave();
    ASSERT_TRUE(OpenAndLoad(save));
    ChangeDay(*doc, 2.0f);
    EXPECT_FALSE(doc->Commit());
    EXPECT_EQ(doc->GetErrorText(), errors::kRenameSaveToBackup);
    EXPECT_NE(doc->GetError().cause.find(BackupPath() + " is no file"), std::string::npos);
    EXPECT_TRUE(fs::is_fifo(BackupPath()));
    EXPECT_EQ(ReadFileBytes(SavePath()), save.Bytes());
    EXPECT_FALSE(fs::exists(WorkPath()));
    fs::remove(BackupPath());
    ASSERT_TRUE(doc->Commit()) << doc->GetErrorText();
    EXPECT_EQ(ReadFileBytes(BackupPath()), save.Bytes());
    EXPECT_TRUE(HasBackup(SavePath()));
}

TEST_F(PosixFilesTest, FileSizeLimitDuringTheRebuild) {
    // The child process commits under a file size limit smaller than the save, as a
    // full disk would stop it; the parent then checks what is on disk.
    test::SaveBuilder save = test::StandardSave();
    save.Filler(200000);
    save.WriteTo(SavePath());
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        std::signal(SIGXFSZ, SIG_IGN);
        CSaveGame doc;
        if (!doc.Open(SavePath()) || !doc.Load()) _exit(10);
        const rlimit limit{100000, 100000};
        if (setrlimit(RLIMIT_FSIZE, &limit) != 0) _exit(11);
        if (doc.Commit()) _exit(12);
        _exit(doc.GetErrorText() == errors::kReconstructionTail ? 0 : 13);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0) << "10 load, 11 limit, 12 committed, 13 wrong error";
    EXPECT_EQ(ReadFileBytes(SavePath()), save.Bytes());
    EXPECT_FALSE(fs::exists(WorkPath()));
    EXPECT_FALSE(fs::exists(dir.File("save.bak")));
}

// A save kept elsewhere (a synced folder) and linked from where the game looks: the
// commit works on the file itself, with its work file and backup beside it, and the
// link stays a link to it.
TEST_F(PosixFilesTest, ALinkedSaveIsCommittedWhereItLiesAndStaysLinked) {
    fs::create_directories(dir.File("synced"));
    const std::string real = dir.File("synced/game.ess");
    const SaveBuilder save = test::StandardSave();
    save.WriteTo(real);
    fs::create_symlink(real, SavePath());
    CSaveGame linked;
    ASSERT_TRUE(linked.Open(SavePath()) && linked.Load());
    ChangeDay(linked, 8.0f);
    ASSERT_TRUE(linked.Commit()) << linked.GetErrorText();
    EXPECT_TRUE(fs::is_symlink(SavePath()));
    EXPECT_EQ(ReadFileBytes(dir.File("synced/game.bak")), save.Bytes());
    EXPECT_TRUE(HasBackup(SavePath()));
    EXPECT_FALSE(fs::exists(BackupPath()));
    CSaveGame result;
    ASSERT_TRUE(result.Open(SavePath()) && result.Load());
    EXPECT_EQ(result.Glob(0).value, 8.0f);
}

// The new save keeps the old one's extended attributes, its access control list
// among them, and with it exactly the access the old one gave: the mode's group bits
// are the list's mask, which without the list would be the owning group's. A list the
// work file inherits from the folder's default list is not kept where the old save
// had none: it would let in whom the old save kept out.
TEST_F(PosixFilesTest, ExtendedAttributesAndTheAccessListAreKeptAndNoneIsAdded) {
    // user::rw-, user:4242:rw-, group::r--, mask::rw-, other::---
    std::string acl = LittleEndian32(2);
    for (const auto& [tag, perm, id] : {std::tuple{0x01, 6, ~0u},
                                        {0x02, 6, 4242u},
                                        {0x04, 4, ~0u},
                                        {0x10, 6, ~0u},
                                        {0x20, 0, ~0u}})
        acl += std::string{char(tag), char(tag >> 8), char(perm), 0} + LittleEndian32(id);
    struct Case {
        bool saveHasList, folderHasDefaultList;
        unsigned mode;  // of the new save
    };
    for (const Case c : {Case{true, false, 0660}, Case{false, true, 0640}}) {
        for (const std::string& path : {SavePath(), BackupPath()}) fs::remove(path);
        const SaveBuilder save = test::StandardSave();
        save.WriteTo(SavePath());
        fs::permissions(SavePath(), fs::perms(0640));
        const std::string folder = fs::path(SavePath()).parent_path().string();
        std::vector<std::pair<std::string, std::string>> kept = {
            {"user.xdg.origin.url", "https://example.org/save.ess"}};
        if (c.saveHasList) kept.emplace_back("system.posix_acl_access", acl);
        for (const auto& [name, value] : kept)
            if (::setxattr(SavePath().c_str(), name.c_str(), value.data(), value.size(), 0) != 0)
                GTEST_SKIP() << name << ": this file system keeps no such attribute";
        if (c.folderHasDefaultList &&
            ::setxattr(folder.c_str(), "system.posix_acl_default", acl.data(), acl.size(), 0) != 0)
            GTEST_SKIP() << "this file system keeps no default access lists";
        ASSERT_TRUE(OpenAndLoad(save));
        ChangeDay(*doc, 4.0f);
        ASSERT_TRUE(doc->Commit()) << doc->GetErrorText();
        ::removexattr(folder.c_str(), "system.posix_acl_default");
        for (const auto& [name, value] : kept) {
            std::string found(value.size() + 16, '\0');
            const ssize_t size =
                ::getxattr(SavePath().c_str(), name.c_str(), found.data(), found.size());
            ASSERT_GE(size, 0) << name;
            found.resize(size_t(size));
            EXPECT_EQ(found, value) << name;
        }
        if (!c.saveHasList) {
            EXPECT_LT(::getxattr(SavePath().c_str(), "system.posix_acl_access", nullptr, 0), 0);
        }
        struct stat st {};
        ASSERT_EQ(::stat(SavePath().c_str(), &st), 0);
        EXPECT_EQ(st.st_mode & 0777, c.mode);
    }
}

// The player's name in a save, or "" when it does not load.
std::string PlayerNameIn(const std::string& path) {
    CSaveGame save;
    if (!save.OpenReadOnly(path) || !save.Load()) return "";
    return std::string(save.Player()[PlayerRecord::FNAM].Text());
}

// Processes that work on one save at the same moment, released together, round after
// round: committers that each give the player a name of their own, and restorers.
// Whatever each reports, the save, its backup and its earlier versions end as the
// reported successes would leave them one after another, in some order; both load, and
// nothing else is left beside.
TEST_F(PosixFilesTest, ProcessesWorkingOnOneSaveAtOnce) {
    struct Crowd {
        int committers, restorers, rounds;
    };
    for (const Crowd crowd : {Crowd{2, 0, 30}, Crowd{8, 0, 15}, Crowd{1, 1, 60}}) {
        int committed = 0, restored = 0, refused = 0;
        for (int round = 0; round < crowd.rounds; ++round) {
            fs::remove_all(dir.File("save.history"));
            for (const auto& [path, name] :
                 {std::pair{SavePath(), "Start"}, std::pair{BackupPath(), "Before"}}) {
                test::PlayerTexts texts;
                texts.name = name;
                SaveBuilder()
                    .Header()
                    .Glob("Day", 1.0f)
                    .Filler(1 << 20)
                    .Player(texts)
                    .WriteTo(path);
            }
            int start[2];
            ASSERT_EQ(::pipe(start), 0);
            const int workers = crowd.committers + crowd.restorers;
            std::vector<pid_t> children;
            for (int i = 0; i < workers; ++i) {
                const pid_t child = ::fork();
                ASSERT_GE(child, 0);
                if (child == 0) {
                    ::close(start[1]);
                    char go;
                    if (::read(start[0], &go, 1) != 0) _exit(20);  // released together
                    if (i >= crowd.committers) {
                        SaveError error;
                        _exit(RestoreBackup(SavePath(), kDefaultHistoryKeep, error) ? 0 : 1);
                    }
                    CSaveGame mine;
                    if (!mine.Open(SavePath()) || !mine.Load()) _exit(1);
                    PlayerRecord record = mine.Player();
                    record[PlayerRecord::FNAM] = Subrecord::FromText("C" + std::to_string(i));
                    mine.SetPlayerData(record);
                    _exit(mine.Commit() ? 0 : 1);
                }
                children.push_back(child);
            }
            ::close(start[0]);
            ::close(start[1]);
            // What each success does to the pair of names and the versions, in the order
            // they happened.
            using Versions = std::vector<std::string>;
            std::vector<std::function<void(std::string&, std::string&, Versions&)>> successes;
            for (int i = 0; i < workers; ++i) {
                int status = 0;
                ASSERT_EQ(::waitpid(children[size_t(i)], &status, 0), children[size_t(i)]);
                ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) <= 1) << "round " << round;
                if (WEXITSTATUS(status) != 0) {
                    ++refused;
                } else if (i >= crowd.committers) {
                    ++restored;
                    successes.push_back([](std::string& save, std::string& backup, Versions&) {
                        std::swap(save, backup);
                    });
                } else {
                    ++committed;
                    successes.push_back(
                        [i](std::string& save, std::string& backup, Versions& versions) {
                            versions.push_back(backup);
                            backup = std::exchange(save, "C" + std::to_string(i));
                        });
                }
            }
            const std::pair<std::string, std::string> found{PlayerNameIn(SavePath()),
                                                            PlayerNameIn(BackupPath())};
            Versions foundVersions;
            if (fs::exists(dir.File("save.history")))
                for (const auto& entry : fs::directory_iterator(dir.File("save.history")))
                    foundVersions.push_back(PlayerNameIn(entry.path().string()));
            std::sort(foundVersions.begin(), foundVersions.end());
            std::vector<size_t> order(successes.size());
            std::iota(order.begin(), order.end(), 0);
            bool explained = false;
            do {
                std::string save = "Start", backup = "Before";
                Versions versions;
                for (size_t k : order) successes[k](save, backup, versions);
                std::sort(versions.begin(), versions.end());
                explained =
                    explained || (found == std::pair(save, backup) && foundVersions == versions);
            } while (!explained && std::next_permutation(order.begin(), order.end()));
            EXPECT_TRUE(explained) << "round " << round << ": found " << found.first << "/"
                                   << found.second << " after " << successes.size() << " successes";
            EXPECT_EQ(std::distance(fs::directory_iterator(dir.Path()), fs::directory_iterator()),
                      fs::exists(dir.File("save.history")) ? 3 : 2)
                << "round " << round;
        }
        std::cout << "[ counts   ] " << crowd.committers << " committers, " << crowd.restorers
                  << " restorers, " << crowd.rounds << " rounds: " << committed << " commits, "
                  << restored << " restores, " << refused << " refused\n";
        EXPECT_GE(committed + restored, crowd.rounds);  // every round gets somewhere
    }
}

// A game that saves in place, again and again, while a commit runs: its last save is
// never lost, whether the commit went through (the game then saved into the new save,
// or the commit saw the rewrite and was refused) or not.
TEST_F(PosixFilesTest, ACommitRacingAGameThatSavesInPlace) {
    constexpr int kRounds = 40, kGameSaves = 30;
    int committed = 0, refused = 0;
    for (int round = 0; round < kRounds; ++round) {
        SaveBuilder()
            .Header()
            .Glob("Day", 1.0f)
            .Glob("Month", 1.0f)
            .Filler(1 << 20)
            .Player()
            .WriteTo(SavePath());
        fs::remove(BackupPath());
        CSaveGame probe;
        ASSERT_TRUE(probe.OpenReadOnly(SavePath()) && probe.Load());
        const GlobEntry& month = probe.Glob(1);
        const int64_t monthValueAt =
            month.rawAddress + 4 + 12 + 8 + month.NameLen() + 8 + month.fnamLen() + 8;
        int start[2];
        ASSERT_EQ(::pipe(start), 0);
        pid_t children[2];
        for (int child = 0; child < 2; ++child) {
            children[child] = ::fork();
            ASSERT_GE(children[child], 0);
            if (children[child] != 0) continue;
            ::close(start[1]);
            char go;
            if (::read(start[0], &go, 1) != 0) _exit(20);
            if (child == 1) {  // the game: opens the save by its name for every save
                for (int k = 1; k <= kGameSaves; ++k) {
                    const float value = float(round * 1000 + k);
                    const int fd = ::open(SavePath().c_str(), O_WRONLY);
                    if (fd < 0 || ::pwrite(fd, &value, 4, monthValueAt) != 4) _exit(30);
                    ::close(fd);
                }
                _exit(0);
            }
            CSaveGame mine;
            if (!mine.Open(SavePath()) || !mine.Load()) _exit(1);
            ChangeDay(mine, 77.0f);
            _exit(mine.Commit() ? 0 : 1);
        }
        ::close(start[0]);
        ::close(start[1]);
        int status[2];
        for (int child = 0; child < 2; ++child)
            ASSERT_EQ(::waitpid(children[child], &status[child], 0), children[child]);
        ASSERT_TRUE(WIFEXITED(status[1]) && WEXITSTATUS(status[1]) == 0) << "round " << round;
        ASSERT_TRUE(WIFEXITED(status[0]) && WEXITSTATUS(status[0]) <= 1) << "round " << round;
        (WEXITSTATUS(status[0]) == 0 ? committed : refused) += 1;
        const float last = float(round * 1000 + kGameSaves);
        std::vector<float> months;
        for (const std::string& path : {SavePath(), BackupPath()}) {
            CSaveGame found;
            if (found.OpenReadOnly(path) && found.Load()) months.push_back(found.Glob(1).value);
        }
        EXPECT_NE(std::find(months.begin(), months.end(), last), months.end())
            << "round " << round << ": the game's last save is lost";
        EXPECT_FALSE(fs::exists(WorkPath())) << "round " << round;
    }
    std::cout << "[ counts   ] a game saving in place " << kGameSaves << " times a round, "
              << kRounds << " rounds: " << committed << " commits, " << refused << " refused\n";
}

}  // namespace
}  // namespace quellhart
