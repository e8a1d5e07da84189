// What only POSIX systems have: FIFOs, permission bits, file size limits and forked
// processes, each against the commit.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <filesystem>

#include "savefile/SaveErrors.h"
#include "savefile/SiblingPaths.h"
#include "tests/support/LoadedSave.h"

namespace quellhart {
namespace {

namespace fs = std::filesystem;
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

    ASSERT_EQ(::mkfifo(BackupPath().c_str(), 0600), 0);
    EXPECT_FALSE(HasBackup(SavePath()));
    const SaveBuilder save = test::StandardSave();
    ASSERT_TRUE(OpenAndLoad(save));
    ChangeDay(*doc, 2.0f);
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

// Two processes commit one save at the same moment, many times over. Whatever each
// reports, a reported success is in the save afterwards, and the save and backup are
// whole saves with nothing left beside them.
TEST_F(PosixFilesTest, TwoProcessesCommittingAtOnce) {
    SaveBuilder save = test::StandardSave();
    save.Filler(1 << 20);  // long enough that the commits overlap
    constexpr int kRounds = 30;
    int successes = 0;
    for (int round = 0; round < kRounds; ++round) {
        save.WriteTo(SavePath());
        fs::remove(BackupPath());
        int start[2];
        ASSERT_EQ(::pipe(start), 0);
        pid_t children[2];
        for (int child = 0; child < 2; ++child) {
            children[child] = ::fork();
            ASSERT_GE(children[child], 0);
            if (children[child] == 0) {
                ::close(start[1]);
                char go;
                if (::read(start[0], &go, 1) != 0) _exit(20);  // released together
                CSaveGame mine;
                if (!mine.Open(SavePath()) || !mine.Load()) _exit(10);
                mine.Glob(child).value = float(100 + round * 2 + child);
                mine.Glob(child).modified = true;
                _exit(mine.Commit() ? 0 : 1);
            }
        }
        ::close(start[0]);
        ::close(start[1]);
        bool committed[2];
        for (int child = 0; child < 2; ++child) {
            int status = 0;
            ASSERT_EQ(::waitpid(children[child], &status, 0), children[child]);
            ASSERT_TRUE(WIFEXITED(status));
            ASSERT_LE(WEXITSTATUS(status), 1) << "round " << round;
            committed[child] = WEXITSTATUS(status) == 0;
        }
        CSaveGame result;
        ASSERT_TRUE(result.Open(SavePath()) && result.Load()) << "round " << round;
        for (int child = 0; child < 2; ++child) {
            if (!committed[child]) continue;
            ++successes;
            EXPECT_EQ(result.Glob(child).value, float(100 + round * 2 + child))
                << "round " << round;
        }
        CSaveGame backup;
        EXPECT_TRUE(backup.OpenReadOnly(BackupPath()) && backup.Load()) << "round " << round;
        EXPECT_FALSE(fs::exists(WorkPath()));
    }
    EXPECT_GE(successes, kRounds);  // at least one of each pair gets through
}

}  // namespace
}  // namespace quellhart
