// The POSIX file layer at the system's door: a failing call it must not swallow
// refuses the commit with the system's reason and leaves the save as it was; a call
// that a file system without owners, permissions or attributes cannot answer is no
// failure; and every sync the commit asks for reaches the system.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <string>

#include "savefile/BackupRestore.h"
#include "savefile/SaveErrors.h"
#include "savefile/SaveHistory.h"
#include "tests/support/FaultyFileSystem.h"
#include "tests/support/LoadedSave.h"
#include "tests/support/SaveBuilder.h"
#include "tests/support/SystemCallFaults.h"

namespace quellhart {
namespace {

namespace fs = std::filesystem;
using test::ReadFileBytes;

class SystemCallFaultTest : public test::LoadedSaveTest {
protected:
    void TearDown() override { test::syscalls::Reset(); }
};

TEST_F(SystemCallFaultTest, FailuresRefuseAndMissingFeaturesDoNot) {
    struct Row {
        const char* call;
        int error;
        bool committed;
        const char* reason = "";  // the system's words, in the message's cause
        int saveGroup = -1;       // the save given this group first (needs root)
        fs::perms mode = fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read;
        int nth = 0;            // only the call's n-th from the commit's start fails
        const char* note = "";  // what "Done" is followed by
    };
    constexpr fs::perms kOwnerOnly = fs::perms::owner_read | fs::perms::owner_write;
    constexpr fs::perms kGroupReads = kOwnerOnly | fs::perms::group_read;
    for (const Row row : {
             // An attribute list that cannot be read may hide an access list.
             Row{"flistxattr", EIO, false, "Input/output error"},
             Row{"flistxattr", ENOTSUP, true},  // a file system without attributes
             // Permissions and owners a file system does not have.
             Row{"fchmod", ENOSYS, true}, Row{"fchmod", EPERM, true},
             Row{"fchmod", EIO, false, "Input/output error"}, Row{"fchown", ENOSYS, true},
             Row{"fchown", EIO, false, "Input/output error"},
             // A group the new save cannot have: its access would pass to another.
             Row{"fchown", EPERM, false, "cannot be given to the new save", 4242},
             Row{"fchown", EPERM, true, "", 4242, kOwnerOnly},  // it gives that group nothing
             Row{"fsync", EIO, false, "Input/output error"},
             // A file system without locks: the commit goes on, and says it could not lock.
             Row{"flock", ENOLCK, true, "", -1, kGroupReads, 0, errors::kSaveNotLocked},
             Row{"flock", EIO, false, "Input/output error"},
             // No exchange and no refusing rename (some network and FUSE file systems).
             Row{"renameat2", EINVAL, true},
             Row{"fsync", EIO, false, "Input/output error", -1, kGroupReads, 1},  // the new save's
             Row{"fsync", EIO, false, "Input/output error", -1, kGroupReads, 2},  // the folder's
         }) {
        const std::string where = std::string(row.call) + " " + std::strerror(row.error) + " " +
                                  std::to_string(row.saveGroup) + " " + std::to_string(row.nth);
        SCOPED_TRACE(where);
        if (row.saveGroup >= 0 && ::geteuid() != 0) continue;  // giving a file away needs root
        ASSERT_TRUE(OpenAndLoad(test::StandardSave()));
        fs::remove(BackupPath());
        fs::permissions(SavePath(), row.mode);
        if (row.saveGroup >= 0) {
            ASSERT_EQ(::chown(SavePath().c_str(), 0, gid_t(row.saveGroup)), 0);
        }
        ASSERT_TRUE(doc->Open(SavePath()) && doc->Load());  // as the save is now
        const std::string before = ReadFileBytes(SavePath());
        ChangeDay(*doc, 9.0f);
        test::syscalls::Fail(row.call, row.error, row.nth);
        EXPECT_EQ(doc->Commit(), row.committed) << doc->GetErrorText();
        test::syscalls::Reset();
        EXPECT_FALSE(fs::exists(WorkPath()));
        if (!row.committed) {
            EXPECT_NE(doc->GetError().cause.find(row.reason), std::string::npos)
                << doc->GetError().cause;
            EXPECT_EQ(ReadFileBytes(SavePath()), before);
            EXPECT_FALSE(fs::exists(BackupPath()));
            continue;
        }
        EXPECT_EQ(ReadFileBytes(BackupPath()), before);
        EXPECT_EQ(doc->GetCommitNote().text, row.note);
        CSaveGame result;
        ASSERT_TRUE(result.OpenReadOnly(SavePath()) && result.Load());
        EXPECT_EQ(result.Glob(0).value, 9.0f);
        // The restores after it give the same note, and go through all the same.
        test::syscalls::Fail(row.call, row.error, row.nth);
        SaveError error, note;
        EXPECT_TRUE(
            RestoreBackup(SavePath(), kDefaultHistoryKeep, error, SystemFileSystem(), &note))
            << error.text;
        test::syscalls::Reset();
        EXPECT_EQ(ReadFileBytes(SavePath()), before);
        EXPECT_EQ(note.text, row.nth == 0 ? row.note : "");
    }
}

// The versions' folder and the attributes copied to the new save fail at the system's
// door as well: the commit is refused with the system's reason, and the save, its
// backup and the versions stay as they were. A folder the commit makes is its
// owner's alone, as the saves in it are the player's.
TEST_F(SystemCallFaultTest, TheVersionsFolderAndAttributesRefuseToo) {
    for (const char* call : {"mkdir", "fdopendir", "fsetxattr", ""}) {
        SCOPED_TRACE(call);
        fs::remove_all(dir.File("save.history"));
        ASSERT_TRUE(OpenAndLoad(test::StandardSave()));
        test::SaveBuilder().Raw("the previous backup").WriteTo(BackupPath());
        // An attribute of the player's, which the new save is given too.
        ASSERT_EQ(::setxattr(SavePath().c_str(), "user.mine", "1", 1, 0), 0)
            << std::strerror(errno);
        ASSERT_TRUE(doc->Open(SavePath()) && doc->Load());
        const std::string before = ReadFileBytes(SavePath());
        ChangeDay(*doc, 9.0f);
        if (*call) test::syscalls::Fail(call, EIO);
        const bool committed = doc->Commit();
        test::syscalls::Reset();
        EXPECT_EQ(committed, !*call);
        if (*call) {
            EXPECT_NE(doc->GetError().cause.find("Input/output error"), std::string::npos)
                << doc->GetError().text << " / " << doc->GetError().cause;
            EXPECT_EQ(ReadFileBytes(SavePath()), before);
            EXPECT_EQ(ReadFileBytes(BackupPath()), "the previous backup");
            EXPECT_TRUE(!fs::exists(dir.File("save.history")) ||
                        fs::is_empty(dir.File("save.history")));
            continue;
        }
        char value[2] = {};
        EXPECT_EQ(::getxattr(SavePath().c_str(), "user.mine", value, 1), 1);
        EXPECT_EQ(fs::status(dir.File("save.history")).permissions() & fs::perms::all,
                  fs::perms::owner_all);
        EXPECT_EQ(test::HistoryVersions(dir.File("save.history")),
                  std::vector<std::string>{"the previous backup"});
    }
}

// Where the file system cannot refuse to replace in a rename itself, a rename into a
// free name still never replaces: by a second name made with link() where links work,
// by a look right before the rename where they do not (FAT).
TEST_F(SystemCallFaultTest, WithoutANoReplaceRenameAFreeNameIsNeverReplaced) {
    for (const int linkError : {0, EPERM}) {
        SCOPED_TRACE(linkError);
        const std::string a = dir.File("a.ess"), b = dir.File("b.ess"), c = dir.File("c.ess");
        test::SaveBuilder().Raw("a").WriteTo(a);
        test::SaveBuilder().Raw("b").WriteTo(b);
        test::syscalls::Fail("renameat2", EINVAL);
        if (linkError != 0) test::syscalls::Fail("link", linkError);
        FileSystem& files = SystemFileSystem();
        EXPECT_EQ(files.RenameToFreeName(a, b), FileError::kExists);
        EXPECT_EQ(ReadFileBytes(a), "a");
        EXPECT_EQ(ReadFileBytes(b), "b");
        EXPECT_EQ(files.RenameToFreeName(a, c), FileError::kNone);
        EXPECT_FALSE(fs::exists(a));
        EXPECT_EQ(ReadFileBytes(c), "a");
        EXPECT_GE(test::syscalls::Count("link"), 2);
        test::syscalls::Reset();
        fs::remove(b);
        fs::remove(c);
    }
}

// Each sync the commit asks of its file layer is a sync of the system: one that
// answered without reaching the disk would pass every test that watches the layer.
TEST_F(SystemCallFaultTest, EverySyncReachesTheSystem) {
    for (const bool exchange : {true, false}) {
        SCOPED_TRACE(exchange ? "exchange" : "renames");
        test::FaultyFileSystem files;
        files.exchangeSupported = exchange;
        ASSERT_TRUE(OpenAndLoad(test::StandardSave(), files));
        ChangeDay(*doc, 9.0f);
        test::syscalls::Reset();
        ASSERT_TRUE(doc->Commit()) << doc->GetErrorText();
        const auto asked = std::count_if(
            files.Names().begin(), files.Names().end(),
            [](const std::string& name) { return name == "Sync" || name == "SyncFolderOf"; });
        EXPECT_GE(asked, 2);
        EXPECT_EQ(test::syscalls::Count("fsync") + test::syscalls::Count("fdatasync"), asked);
    }
}

}  // namespace
}  // namespace quellhart
