// `history` and `restore --version`: the earlier versions a script can list and put
// back, and how many `set` keeps.
#include <chrono>
#include <filesystem>
#include <functional>

#include "savefile/SaveErrors.h"
#include "tests/cli/CliTestBase.h"
#include "tests/support/FaultyFileSystem.h"

namespace quellhart::test {
namespace {

namespace fs = std::filesystem;

class HistoryCommandTest : public CliTest {
protected:
    void SetUp() override { Stamp(); }
    // The save written `commits_` seconds after the first.
    void Stamp() {
        fs::last_write_time(SavePath(), fs::file_time_type::clock::now() - std::chrono::hours(1) +
                                            std::chrono::seconds(commits_));
    }
    // `set` with the given options, the new save a second newer than the last, as a
    // player's saves are.
    void Set(std::vector<std::string> options) {
        std::vector<std::string> args = {"set", SavePath(), "--yes"};
        args.insert(args.end(), options.begin(), options.end());
        const CliResult r = Cli(args);
        ASSERT_EQ(r.code, 0) << r.err;
        ++commits_;
        Stamp();
    }
    int commits_ = 0;
};

TEST_F(HistoryCommandTest, ListsEachVersionWithWhatChangedInTheNext) {
    const std::string original = save.Bytes();
    Set({"--global", "Month=5"});
    Set({"--name", "Ann"});
    Set({"--global", "Month=6"});
    const CliResult r = Cli({"history", SavePath(), "--json"});
    ASSERT_EQ(r.code, 0) << r.err;
    const nlohmann::json j = r.Json();
    EXPECT_EQ(j["format"], 1);
    EXPECT_EQ(j["save"], SavePath());
    ASSERT_EQ(j["versions"].size(), 3u);  // the original and one more in the history, the backup
    const nlohmann::json& first = j["versions"][0];
    EXPECT_EQ(first["version"], 1);
    EXPECT_EQ(first["original"], true);
    EXPECT_EQ(first["backup"], false);
    EXPECT_EQ(ReadFileBytes(first["path"]), original);
    EXPECT_EQ(first["bytes"], original.size());
    EXPECT_EQ(first["changes"], nlohmann::json::parse(R"([{"what": "global", "name": "Month",
                                                          "old": 3, "new": 5}])"));
    EXPECT_EQ(j["versions"][1]["changes"],
              nlohmann::json::parse(R"([{"what": "name", "old": "Jérôme", "new": "Ann"}])"));
    EXPECT_EQ(j["versions"][2]["path"], BackupPath());
    EXPECT_EQ(j["versions"][2]["backup"], true);
    EXPECT_EQ(j["versions"][2]["changes"][0]["new"], 6);  // to the save itself
    EXPECT_LT(std::string(first["time"]), std::string(j["versions"][1]["time"]));
    EXPECT_EQ(std::string(first["time"]).size(), std::string("2026-12-08T21:40:03Z").size());

    const CliResult text = Cli({"history", SavePath()});
    ASSERT_EQ(text.code, 0);
    EXPECT_NE(text.out.find("global Month: 3.000000 -> 5.000000"), std::string::npos) << text.out;
    EXPECT_NE(text.out.find("name: \"J\u00e9r\u00f4me\" -> \"Ann\""), std::string::npos);
    EXPECT_NE(text.out.find("(the original)"), std::string::npos);

    // A version is read, never edited in place: set and restore refuse it and say how
    // to put it back; it stays as it was, with nothing made beside it.
    const std::string version = first["path"];
    EXPECT_EQ(Cli({"show", version}).code, 0);
    for (const std::vector<std::string>& edit :
         {std::vector<std::string>{"set", version, "--name", "Cy", "--yes"},
          {"restore", version, "--yes"}}) {
        const CliResult refused = Cli(edit);
        EXPECT_EQ(refused.code, 1) << edit[0];
        EXPECT_EQ(refused.err.substr(0, refused.err.find('\n')), errors::kVersionNotASave)
            << refused.err;
        EXPECT_NE(refused.err.find("quellhart-cli restore " + SavePath() + " --version N"),
                  std::string::npos)
            << refused.err;
    }
    EXPECT_EQ(ReadFileBytes(version), original);
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.File("save.history")), {}), 2);

    fs::remove_all(dir.File("save.history"));
    fs::remove(BackupPath());
    EXPECT_EQ(Cli({"history", SavePath()}).out,
              "No earlier versions of " + SavePath() + " are kept.\n");
}

// A version put back is the save byte for byte; the save it replaced is kept and can be
// put back in turn. A number that is no version changes nothing.
TEST_F(HistoryCommandTest, RestoreVersionPutsBackAndKeepsWhatItReplaces) {
    const std::string original = save.Bytes();
    Set({"--global", "Month=5"});
    Set({"--global", "Month=6"});
    const std::string latest = ReadFileBytes(SavePath());
    const std::string backup = ReadFileBytes(BackupPath());

    const struct {
        const char* version;
        int code;
        const char* says;
    } refused[] = {{"3", 2, "has no version 3; 2 are kept"}, {"0", 2, "--version takes"}};
    for (const auto& c : refused) {
        const CliResult r = Cli({"restore", SavePath(), "--version", c.version, "--yes"});
        EXPECT_EQ(r.code, c.code) << c.version;
        EXPECT_NE(r.err.find(c.says), std::string::npos) << r.err;
        EXPECT_EQ(ReadFileBytes(SavePath()), latest);
    }
    EXPECT_EQ(Cli({"restore", SavePath(), "--version", "1"}).code, 3);  // not confirmed
    EXPECT_EQ(ReadFileBytes(SavePath()), latest);

    CliResult r = Cli({"restore", SavePath(), "--version", "1", "--yes"});
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(ReadFileBytes(SavePath()), original);
    EXPECT_EQ(ReadFileBytes(BackupPath()), backup);  // the backup is not touched
    EXPECT_NE(r.out.find("the save it replaced is now " + dir.File("save.history")),
              std::string::npos)
        << r.out;
    // The replaced save is now the newest of the history, just before the backup.
    const nlohmann::json j = Cli({"history", SavePath(), "--json"}).Json();
    ASSERT_EQ(j["versions"].size(), 2u);
    EXPECT_EQ(ReadFileBytes(j["versions"][0]["path"]), latest);
    r = Cli({"restore", SavePath(), "--version", "1", "--yes"});
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(ReadFileBytes(SavePath()), latest);
    EXPECT_EQ(ReadFileBytes(Cli({"history", SavePath(), "--json"}).Json()["versions"][0]["path"]),
              original);
}

// Each version from the original to the backup is put back byte for byte, where the
// save is missing, through a link to it, and after the backup's restore; a history that
// cannot be listed fails, and says so, with the save untouched.
TEST_F(HistoryCommandTest, EveryVersionPutsBackWhateverStandsBesideIt) {
    FaultyFileSystem unlistable([](int, std::string_view call) {
        return call == "ListFolder" ? FileError::kFailed : FileError::kNone;
    });
    const struct {
        const char* what;
        std::function<void()> before;
        FileSystem* files;
        int code;
        const char* says;  // standard error's first line where it fails
    } cases[] = {
        {"nothing beside it", {}, &SystemFileSystem(), 0, ""},
        {"no save", [this] { fs::remove(SavePath()); }, &SystemFileSystem(), 0, ""},
        {"after the backup's restore",
         [this] {
             ASSERT_EQ(Cli({"restore", SavePath(), "--yes"}).code, 0);
         },
         &SystemFileSystem(), 0, ""},
        {"an unlistable history", {}, &unlistable, 1, errors::kHistoryUnreadable},
    };
#ifdef _WIN32
    const bool links[] = {false};  // links to files need a privilege there
#else
    const bool links[] = {false, true};
#endif
    for (bool throughALink : links) {
        for (const auto& c : cases) {
            for (size_t number = 1; number <= 3; ++number) {
                SCOPED_TRACE(std::string(c.what) + ", version " + std::to_string(number) +
                             (throughALink ? ", through a link" : ""));
                fs::remove_all(dir.File("save.history"));
                fs::remove(BackupPath());
                save.WriteTo(SavePath());
                commits_ = 0;
                Stamp();
                for (const char* month : {"Month=5", "Month=6", "Month=7"})
                    Set({"--global", month});
                if (c.before) c.before();
                std::vector<std::string> kept;
                const nlohmann::json listed = Cli({"history", SavePath(), "--json"}).Json();
                for (const auto& v : listed["versions"]) kept.push_back(ReadFileBytes(v["path"]));
                ASSERT_EQ(kept.size(), 3u);  // the original, one more, the backup
                const std::string saveBefore =
                    fs::exists(SavePath()) ? ReadFileBytes(SavePath()) : "";
                std::string given = SavePath();
                if (throughALink && fs::exists(SavePath())) {
                    given = dir.File("link.ess");
                    fs::remove(given);
                    fs::create_symlink(SavePath(), given);
                }
                const CliResult r =
                    Cli({"restore", given, "--version", std::to_string(number), "--yes"}, "", false,
                        *c.files);
                EXPECT_EQ(r.code, c.code) << r.err;
                EXPECT_EQ(r.err.substr(0, r.err.find('\n')), c.says) << r.err;
                EXPECT_EQ(ReadFileBytes(SavePath()), c.code ? saveBefore : kept[number - 1]);
                if (given != SavePath()) {
                    EXPECT_TRUE(fs::is_symlink(given));
                }
            }
        }
    }
}

// A backup the versions folder cannot take (a file has its name) does not stop `set`:
// the save is written, and standard error says the backup was replaced, and why.
TEST_F(HistoryCommandTest, ABackupThatCannotBeKeptIsSaid) {
    Set({"--global", "Month=5"});
    SaveBuilder().Raw("mine").WriteTo(dir.File("save.history"));
    const CliResult r = Cli({"set", SavePath(), "--global", "Month=6", "--yes"});
    EXPECT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.err, std::string(errors::kVersionNotKept) + "\n" + dir.File("save.history") +
                         ": Not a folder\n");
    EXPECT_EQ(ReadFileBytes(dir.File("save.history")), "mine");
}

TEST_F(HistoryCommandTest, HowManyVersionsSetKeeps) {
    const struct {
        const char* variable;  // QUELLHART_HISTORY_KEEP
        std::vector<std::string> keep;
        size_t versions;  // after five commits, the backup among them
    } cases[] = {
        {nullptr, {}, 5},           // all four in the history, and the backup
        {"2", {}, 4},               // the original and the two newest
        {"2", {"--keep", "0"}, 1},  // the option wins: none kept, the backup alone
        {nullptr, {"--keep", "1"}, 3},
    };
    for (const auto& c : cases) {
        fs::remove_all(dir.File("save.history"));
        fs::remove(BackupPath());
        save.WriteTo(SavePath());
        Stamp();
        const ScopedVariable keep("QUELLHART_HISTORY_KEEP", c.variable);
        for (int day = 1; day <= 5; ++day) {
            std::vector<std::string> options = {"--global", "Month=" + std::to_string(day)};
            options.insert(options.end(), c.keep.begin(), c.keep.end());
            Set(options);
        }
        EXPECT_EQ(Cli({"history", SavePath(), "--json"}).Json()["versions"].size(), c.versions)
            << (c.variable ? c.variable : "unset") << " " << c.keep.size();
    }
    // A wrong number is said before anything is touched, by each command that keeps.
    const ScopedVariable wrong("QUELLHART_HISTORY_KEEP", "many");
    const std::string before = ReadFileBytes(SavePath());
    for (const std::vector<std::string>& command :
         {std::vector<std::string>{"set", SavePath(), "--global", "Month=9", "--yes"},
          std::vector<std::string>{"restore", SavePath(), "--yes"}}) {
        const CliResult r = Cli(command);
        EXPECT_EQ(r.code, 2) << command[0];
        EXPECT_NE(r.err.find("QUELLHART_HISTORY_KEEP takes a whole number"), std::string::npos)
            << command[0];
        EXPECT_EQ(ReadFileBytes(SavePath()), before) << command[0];
    }
}

}  // namespace
}  // namespace quellhart::test
