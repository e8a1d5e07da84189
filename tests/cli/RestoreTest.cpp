#include <filesystem>

#include "tests/cli/CliTestBase.h"

namespace quellhart::test {
namespace {

class RestoreTest : public CliTest {};

TEST_F(RestoreTest, SwapsSaveAndBackupAndTwiceGivesBackWhereYouWere) {
    ASSERT_EQ(Cli({"set", SavePath(), "--name", "Edited", "--yes"}).code, 0);
    const std::string edited = ReadFileBytes(SavePath());

    CliResult r = Cli({"restore", SavePath(), "--yes"});
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(ReadFileBytes(SavePath()), save.Bytes());
    EXPECT_EQ(ReadFileBytes(BackupPath()), edited);

    r = Cli({"restore", SavePath(), "--yes"});
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(ReadFileBytes(SavePath()), edited);
    EXPECT_EQ(ReadFileBytes(BackupPath()), save.Bytes());
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path()), {}), 2);
}

TEST_F(RestoreTest, RefusesAMissingOrBrokenBackup) {
    CliResult r = Cli({"restore", SavePath(), "--yes"});
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(r.err, "There is no backup (" + BackupPath() + ") to restore.\n");

    SaveBuilder().Raw("TES3 but no globals").WriteTo(BackupPath());
    r = Cli({"restore", SavePath(), "--yes"});
    EXPECT_EQ(r.code, 1);
    EXPECT_NE(r.err.find("No GLOB's section found!"), std::string::npos);
    EXPECT_EQ(ReadFileBytes(SavePath()), save.Bytes());
    EXPECT_EQ(ReadFileBytes(BackupPath()), "TES3 but no globals");

    // The save itself under the backup's name is no backup: that name goes, the save
    // stays, and the refusal says why (not that another program writes the save).
    std::filesystem::remove(BackupPath());
    std::filesystem::create_hard_link(SavePath(), BackupPath());
    r = Cli({"restore", SavePath(), "--yes"});
    EXPECT_EQ(r.code, 1);
    EXPECT_NE(r.err.find(BackupPath() + " is the save itself under a second name"),
              std::string::npos)
        << r.err;
    EXPECT_FALSE(std::filesystem::exists(BackupPath()));
    EXPECT_EQ(ReadFileBytes(SavePath()), save.Bytes());

#ifndef _WIN32  // links to files need a privilege there
    // A backup that is a link is not followed, and the refusal says what it is.
    save.WriteTo(dir.File("elsewhere.ess"));
    std::filesystem::create_symlink(dir.File("elsewhere.ess"), BackupPath());
    r = Cli({"restore", SavePath(), "--yes"});
    EXPECT_EQ(r.code, 1);
    EXPECT_NE(r.err.find(BackupPath() + ": A link, not a file of its own"), std::string::npos)
        << r.err;
#endif
}

TEST_F(RestoreTest, AsksFirstAndNoChangesNothing) {
    save.WriteTo(BackupPath());
    SaveBuilder().Raw("current").WriteTo(SavePath());
    const CliResult r = Cli({"restore", SavePath()}, "n\n", true);
    EXPECT_EQ(r.code, 3);
    EXPECT_NE(r.err.find("Swap "), std::string::npos);
    EXPECT_EQ(ReadFileBytes(SavePath()), "current");
    EXPECT_EQ(Cli({"restore", SavePath()}).code, 3);  // no terminal, no --yes
}

// A save that is a link is swapped where it lies; the question and the report name
// the files that change names, not names beside the link.
TEST_F(RestoreTest, ASaveThatIsALinkIsNamedWhereItLies) {
#ifdef _WIN32
    GTEST_SKIP() << "links to files need a privilege there";
#endif
    namespace fs = std::filesystem;
    fs::create_directory(dir.File("real"));
    const std::string real = dir.File("real/s.ess"), realBackup = dir.File("real/s.bak");
    SaveBuilder().Raw(save.Bytes()).WriteTo(real);
    SaveBuilder().Raw(save.Bytes()).WriteTo(realBackup);
    fs::create_symlink(real, dir.File("link.ess"));
    const CliResult r = Cli({"restore", dir.File("link.ess")}, "y\n", true);
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_NE(r.err.find("Swap " + real + " with its backup " + realBackup + "?"),
              std::string::npos)
        << r.err;
    EXPECT_NE(r.out.find("Restored " + realBackup + " as " + real), std::string::npos) << r.out;
    EXPECT_TRUE(fs::is_symlink(dir.File("link.ess")));
}

}  // namespace
}  // namespace quellhart::test
