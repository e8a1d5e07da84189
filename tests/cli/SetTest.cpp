#include <filesystem>

#include "res/Messages.h"
#include "savefile/SaveGame.h"
#include "tests/cli/CliTestBase.h"
#include "tests/support/FaultyFileSystem.h"

namespace quellhart::test {
namespace {

class SetTest : public CliTest {};

TEST_F(SetTest, EveryOptionIsWrittenAndShownAfterTheReload) {
    const CliResult r =
        Cli({"set", SavePath(), "--name", "Zo\u00EB", "--race", "Dark Elf", "--class", "Mage",
             "--head", "h2", "--hair", "k2", "--global", "Month=7.5", "--yes", "--json"});
    ASSERT_EQ(r.code, 0) << r.err;
    const nlohmann::json j = r.Json();
    EXPECT_EQ(j["player"]["name"], "Zo\u00EB");
    EXPECT_EQ(j["player"]["race"], "Dark Elf");
    EXPECT_EQ(j["player"]["class"], "Mage");
    EXPECT_EQ(j["player"]["head"], "h2");
    EXPECT_EQ(j["player"]["hair"], "k2");
    EXPECT_EQ(j["globals"][1]["value"], 7.5);

    CSaveGame written;
    ASSERT_TRUE(written.Open(SavePath()) && written.Load());
    EXPECT_EQ(written.Player()[PlayerRecord::FNAM].Text(), "Zo\xEB");  // stored as Windows-1252
    EXPECT_EQ(ReadFileBytes(BackupPath()), save.Bytes());
}

TEST_F(SetTest, WritesWhatTheLibraryAloneWritesForTheSameEdit) {
    const std::string libraryPath = dir.File("library.ess");
    save.WriteTo(libraryPath);
    CSaveGame doc;
    ASSERT_TRUE(doc.Open(libraryPath) && doc.Load());
    PlayerRecord record = doc.Player();
    record[PlayerRecord::CNAM] = Subrecord::FromText("Knight");
    for (int i : {0, 3}) {  // both globals named Day
        doc.Glob(i).value = 0.1f;
        doc.Glob(i).modified = true;
    }
    doc.SetPlayerData(record);
    ASSERT_TRUE(doc.Commit());

    ASSERT_EQ(Cli({"set", SavePath(), "--class", "Knight", "--global", "Day=0.1", "--yes"}).code,
              0);
    EXPECT_EQ(ReadFileBytes(SavePath()), ReadFileBytes(libraryPath));
}

// The editor's fields keep 49 bytes of the save's code page: a name that long is kept
// whole and without a note, whatever its UTF-8 length; one byte more is cut, with one.
TEST_F(SetTest, TextsAreCutLikeTheEditorsFields) {
    const auto repeat = [](const std::string& text, int times) {
        std::string out;
        for (int i = 0; i < times; ++i) out += text;
        return out;
    };
    struct Case {
        std::string typed, kept;
        bool note;
    };
    const Case cases[] = {{std::string(60, 'n'), std::string(49, 'n'), true},
                          {std::string(50, 'n'), std::string(49, 'n'), true},
                          {std::string(49, 'n'), std::string(49, 'n'), false},
                          {repeat("\u00E9", 49), repeat("\u00E9", 49), false}};
    for (const Case& c : cases) {
        save.WriteTo(SavePath());
        const CliResult r = Cli({"set", SavePath(), "--name", c.typed, "--yes", "--json"});
        ASSERT_EQ(r.code, 0) << r.err;
        EXPECT_EQ(r.Json()["player"]["name"], c.kept) << c.typed;
        EXPECT_EQ(r.err.find("--name is cut") != std::string::npos, c.note) << c.typed;
    }
}

TEST_F(SetTest, UnknownGlobalIsAUsageErrorAndWritesNothing) {
    const CliResult r = Cli({"set", SavePath(), "--name", "X", "--global", "Nope=1", "--yes"});
    EXPECT_EQ(r.code, 2);
    EXPECT_NE(r.err.find("no global variable named 'Nope'"), std::string::npos);
    EXPECT_EQ(ReadFileBytes(SavePath()), save.Bytes());
    EXPECT_FALSE(std::filesystem::exists(BackupPath()));
}

TEST_F(SetTest, QuestionsAreAskedOnTheTerminal) {
    CliResult r = Cli({"set", SavePath(), "--name", "Ann"}, "y\n", true);
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_NE(r.err.find("Now the changes will be written to file.\n\n\nProceed? [y/N]"),
              std::string::npos);
    EXPECT_EQ(r.err.find("Backup exists"), std::string::npos);

    // Now a backup exists: the second question comes, and No to it writes nothing.
    const std::string before = ReadFileBytes(SavePath());
    r = Cli({"set", SavePath(), "--name", "Bea"}, "y\nn\n", true);
    EXPECT_EQ(r.code, 3);
    EXPECT_NE(r.err.find(std::string(messages::kBackupKeptAmongVersions) +
                         "\nBackup exists for this savegame.\n Will be deleted\n\nProceed?"),
              std::string::npos)
        << r.err;
    EXPECT_EQ(ReadFileBytes(SavePath()), before);

    r = Cli({"set", SavePath(), "--name", "Bea"}, "\n", true);  // Enter means no
    EXPECT_EQ(r.code, 3);
    EXPECT_EQ(ReadFileBytes(SavePath()), before);

    r = Cli({"set", SavePath(), "--name", "Cid"}, "Y\nYes\n", true);  // capitals mean yes
    EXPECT_EQ(r.code, 0) << r.err;
}

TEST_F(SetTest, WithoutATerminalNothingIsWrittenUnlessYes) {
    const CliResult r = Cli({"set", SavePath(), "--name", "Ann"}, "y\n", false);
    EXPECT_EQ(r.code, 3);
    EXPECT_EQ(ReadFileBytes(SavePath()), save.Bytes());
}

TEST_F(SetTest, CommitErrorsAreTheDocumentsText) {
    std::filesystem::create_directories(dir.File("save.bak/full"));
    const CliResult r = Cli({"set", SavePath(), "--name", "Ann", "--yes"});
    EXPECT_EQ(r.code, 1);
    // The program's text first, then the cause: the folder in the backup's way, named.
#ifdef _WIN32
    EXPECT_EQ(r.err.rfind("Error renaming .ess file to .bak\n", 0), 0u) << r.err;
    EXPECT_NE(r.err.find("save.bak is a folder"), std::string::npos) << r.err;
#else
    EXPECT_EQ(r.err, "Error renaming .ess file to .bak\n" + dir.File("save.bak") +
                         " is a folder, where the backup goes; move it elsewhere to commit.\n");
#endif
    EXPECT_EQ(ReadFileBytes(SavePath()), save.Bytes());
}

TEST_F(SetTest, AGlobalValueMustBeOneWholeFiniteNumber) {
    const CliResult noName = Cli({"set", SavePath(), "--global", "=1", "--yes"});
    EXPECT_EQ(noName.code, 2);
    EXPECT_NE(noName.err.find("--global takes NAME=VALUE, not '=1'"), std::string::npos);
    for (const std::string bad : {"abc", "12abc", "", "nan", "inf", "1,5", " 1"}) {
        const CliResult r = Cli({"set", SavePath(), "--global", "Day=" + bad, "--yes"});
        EXPECT_EQ(r.code, 2) << bad;
        EXPECT_NE(r.err.find("takes a decimal number, not '" + bad + "'"), std::string::npos)
            << r.err;
        EXPECT_EQ(ReadFileBytes(SavePath()), save.Bytes()) << bad;
    }
    // Numbers, only beyond what the save's 32-bit values hold.
    for (const std::string large : {"1e39", "1e40", "-1e40", "1e-50"}) {
        const CliResult r = Cli({"set", SavePath(), "--global", "Day=" + large, "--yes"});
        EXPECT_EQ(r.code, 2) << large;
        EXPECT_EQ(r.err.rfind("quellhart-cli: --global Day=" + large +
                                  " is out of range for a 32-bit float\n",
                              0),
                  0u)
            << r.err;
    }
    const std::pair<std::string, double> good[] = {{"2.5", 2.5}, {"-1e3", -1000.0}, {".5", 0.5}};
    for (const auto& [text, value] : good) {
        const CliResult r =
            Cli({"set", SavePath(), "--global", "Month=" + text, "--yes", "--json"});
        ASSERT_EQ(r.code, 0) << text << r.err;
        EXPECT_EQ(r.Json()["globals"][1]["value"], value) << text;
    }
}

TEST_F(SetTest, ASaveThatWasReplacedIsReportedWithoutReadingItAgain) {
    // Every open and read after the commit's last rename fails: the save is written,
    // and its report comes from what the commit knows, exactly as show reads the save.
    // Exit 1 would make a user run it again and push the original out of the backup.
    FaultyFileSystem files([renamed = false](int, std::string_view name) mutable {
        renamed = renamed || name == "Rename" || name == "ReplaceWithBackup";
        return renamed && (name == "OpenForReading" || name == "ReadAt") ? FileError::kFailed
                                                                         : FileError::kNone;
    });
    const CliResult r =
        Cli({"set", SavePath(), "--name", "Ann", "--global", "Month=7.5", "--yes", "--json"}, "",
            false, files);
    EXPECT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.out, Cli({"show", SavePath(), "--json"}).out);
    EXPECT_EQ(ReadFileBytes(BackupPath()), save.Bytes());
    EXPECT_NE(ReadFileBytes(SavePath()).find("Ann"), std::string::npos);
}

// What set and restore say, letter for letter, in the situations a user meets them.
// A set whose values are those stored writes nothing: the save, its backup and the
// versions stay as they were, however often a script runs it.
TEST_F(SetTest, WhatTheSaveHoldsAlreadyIsNotWrittenAgain) {
    const struct {
        std::vector<std::string> options;
        bool writes;
    } cases[] = {
        {{"--global", "Month=3"}, false},
        {{"--name", "J\u00e9r\u00f4me"}, false},  // as stored, in Windows-1252
        {{"--global", "Day=12"}, true},           // the first Day holds 12, the second 1
        {{"--global", "Month=3", "--race", "Nord"}, false},
        {{"--global", "Month=4"}, true},
        {{"--race", "Nord", "--class", "Mage"}, true},
    };
    // With --json, the save as show gives it either way: a script reads one object.
    for (const bool json : {false, true})
        for (const auto& c : cases) {
            std::filesystem::remove_all(dir.File("save.history"));
            save.WriteTo(SavePath());
            SaveBuilder().Raw("backup").WriteTo(BackupPath());
            std::vector<std::string> args = {"set", SavePath(), "--yes"};
            args.insert(args.end(), c.options.begin(), c.options.end());
            if (json) args.push_back("--json");
            const CliResult r = Cli(args);
            EXPECT_EQ(r.code, 0) << r.err;
            if (json) {
                EXPECT_EQ(r.out, Cli({"show", SavePath(), "--json"}).out);
                EXPECT_EQ(r.err, c.writes ? "" : "Nothing to change.\n");
            } else {
                EXPECT_EQ(r.out == "Nothing to change.\n", !c.writes) << r.out;
            }
            EXPECT_EQ(ReadFileBytes(SavePath()) != save.Bytes(), c.writes) << c.options.back();
            EXPECT_EQ(ReadFileBytes(BackupPath()) == "backup", !c.writes) << c.options.back();
            EXPECT_EQ(std::filesystem::exists(dir.File("save.history")), c.writes);
        }
}

TEST_F(SetTest, EveryMessageOfSetAndRestoreIsAsWritten) {
    struct Case {
        std::vector<std::string> args;  // after the save's name
        const char* answers;
        bool onTerminal;
        bool onError;                 // the text is on standard error, else on standard output
        std::string begins;           // what that stream begins with; {save} and {backup} stand in
        bool editLeftBeside = false;  // a whole edited save as the work file, from a stop
    };
    const Case cases[] = {
        {{"restore"},
         "",
         false,
         true,
         "Not confirmed: standard input is not a terminal (use --yes).\n"},
        {{"restore"}, "n\n", true, true, "Swap {save} with its backup {backup}? [y/N] "},
        {{"restore", "--yes"},
         "",
         false,
         false,
         "Restored {backup} as {save}; the previous save is now {backup}.\n"},
        {{"set", "--name", std::string(50, 'n'), "--yes"},
         "",
         false,
         true,
         "Note: --name is cut to its first 49 characters, as the editor keeps them.\n"},
        {{"set", "--global", "Nope=1", "--yes"},
         "",
         false,
         true,
         "quellhart-cli: no global variable named 'Nope'\nusage: "},
        {{"set", "--yes"},
         "",
         false,
         true,
         "quellhart-cli: set needs something to change: --name, --race, --class, --head, "
         "--hair or --global\nusage: "},
        {{"set", "--global", "Month=3", "--yes"}, "", false, false, "Nothing to change.\n"},
        {{"set", "--race", "\u0416", "--yes"},
         "",
         false,
         true,
         "quellhart-cli: --race '\u0416' holds '\u0416', which Windows-1252 cannot store: the "
         "save's texts are read and written as Windows-1252 (give another code page with "
         "--code-page N only if the save was written in another)\n"},
        {{"set", "--name", "Ann", "--yes"},
         "",
         false,
         true,
         "An edited save that a stopped commit had not put in place was kept among the "
         "versions.\nIt is now ",
         true},
    };
    for (const Case& c : cases) {
        save.WriteTo(SavePath());
        save.WriteTo(BackupPath());
        if (c.editLeftBeside) save.WriteTo(dir.File("save.out"));
        std::vector<std::string> args = {c.args[0], SavePath()};
        args.insert(args.end(), c.args.begin() + 1, c.args.end());
        const CliResult r = Cli(args, c.answers, c.onTerminal);
        std::string expected = c.begins;
        for (const auto& [from, to] : {std::pair<std::string, std::string>{"{save}", SavePath()},
                                       {"{backup}", BackupPath()}})
            for (size_t at; (at = expected.find(from)) != std::string::npos;)
                expected.replace(at, from.size(), to);
        const std::string& said = c.onError ? r.err : r.out;
        EXPECT_EQ(said.substr(0, expected.size()), expected) << c.args[0] << " " << c.args.back();
    }
}

}  // namespace
}  // namespace quellhart::test
