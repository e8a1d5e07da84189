#ifndef _WIN32
#include <sys/stat.h>
#endif

#include <filesystem>
#include <tuple>

#include "savefile/SaveErrors.h"
#include "tests/cli/CliTestBase.h"

namespace quellhart::test {
namespace {

class ShowTest : public CliTest {};

TEST_F(ShowTest, TextListsThePlayerAndEveryGlobalInFileOrder) {
    const CliResult r = Cli({"show", SavePath()});
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_NE(r.out.find("Name:          J\u00E9r\u00F4me\n"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("Race:          Nord\n"), std::string::npos);
    EXPECT_NE(r.out.find("Hair Model:    b_n_nord_m_hair_02\n"), std::string::npos);
    EXPECT_NE(r.out.find("Chargen class: not defined"), std::string::npos);
    EXPECT_NE(r.out.find("Globals:       4"), std::string::npos);
    const size_t day = r.out.find("Day       12.000000"), hour = r.out.find("GameHour  9.500000");
    EXPECT_NE(day, std::string::npos) << r.out;
    EXPECT_LT(day, hour);
    char offset[32];
    std::snprintf(offset, sizeof offset, "Player record: 0x%X\n",
                  unsigned(save.Bytes().find("NPC_")));
    EXPECT_NE(r.out.find(offset), std::string::npos);
}

// The columns are as wide as their longest entry in characters, not in bytes.
TEST_F(ShowTest, ColumnsCountCharacters) {
    SaveBuilder().Header().Glob("\xC9t\xE9s", 1.0f).Glob("Day", 2.0f).Player().WriteTo(SavePath());
    const CliResult r = Cli({"show", SavePath()});
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_NE(r.out.find("  Name  "), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("  Day   2.000000"), std::string::npos) << r.out;
}

TEST_F(ShowTest, JsonCarriesEveryStoredField) {
    const CliResult r = Cli({"show", SavePath(), "--json"});
    ASSERT_EQ(r.code, 0) << r.err;
    const nlohmann::json j = r.Json();
    EXPECT_EQ(j["format"], 1);
    EXPECT_EQ(j["file"], SavePath());
    EXPECT_EQ(j["player"]["offset"], save.Bytes().find("NPC_"));
    EXPECT_EQ(j["player"]["name"], "J\u00E9r\u00F4me");
    EXPECT_EQ(j["player"]["class"], "Warrior");
    EXPECT_EQ(j["chargenClass"], false);
    ASSERT_EQ(j["globals"].size(), 4u);
    const nlohmann::json& day = j["globals"][0];
    EXPECT_EQ(day["offset"], save.Bytes().find("GLOB"));
    EXPECT_EQ(day["name"], "Day");
    EXPECT_EQ(day["nameLen"], 4);
    EXPECT_EQ(day["header"], "21 00 00 00 00 00 00 00 00 00 00 00");
    EXPECT_EQ(day["fnam"], "66");
    EXPECT_EQ(day["fnamLen"], 1);
    EXPECT_EQ(day["valueLen"], 4);
    EXPECT_EQ(day["valueBytes"], "00 00 40 41");
    EXPECT_EQ(day["value"], 12.0);
    EXPECT_EQ(j["globals"][2]["value"], 9.5);
}

TEST_F(ShowTest, SpecialValuesAndUndefinedBytesSurviveInJson) {
    SaveBuilder odd;
    PlayerTexts texts;
    texts.name = "\x81\x8D\x8F\x90\x9D\x80";
    odd.Header().Glob("big", std::numeric_limits<float>::infinity());
    odd.Glob("tiny", 0.1f).Glob("nan", std::numeric_limits<float>::quiet_NaN()).Player(texts);
    odd.WriteTo(SavePath());
    const nlohmann::json j = Cli({"show", SavePath(), "--json"}).Json();
    EXPECT_EQ(j["player"]["name"], "\u0081\u008D\u008F\u0090\u009D\u20AC");
    EXPECT_EQ(j["globals"][0]["value"], "inf");
    EXPECT_EQ(j["globals"][1]["value"].get<float>(), 0.1f);
    EXPECT_EQ(j["globals"][2]["value"], "nan");
}

TEST_F(ShowTest, LoadErrorsAreTheDocumentsTextOnOneLine) {
    SaveBuilder().Raw("TES3 and nothing else").WriteTo(SavePath());
    const CliResult r = Cli({"show", SavePath()});
    EXPECT_EQ(r.code, 1);
    EXPECT_EQ(r.err, std::string(errors::kNoGlobSection) + "\n");
    EXPECT_EQ(r.out, "");
}

// A file that cannot be opened says why, in the system's words, on the line after the
// program's own: no such file, a folder, a FIFO.
TEST_F(ShowTest, WhatIsNoFileToOpenSaysWhy) {
    std::filesystem::create_directory(dir.File("folder.ess"));
    std::vector<std::pair<std::string, std::string>> cases = {
        {dir.File("missing.ess"), "No such file or directory"},
        {dir.File("folder.ess"), "Is a directory"}};
#ifndef _WIN32
    ASSERT_EQ(mkfifo(dir.File("fifo.ess").c_str(), 0600), 0);
    cases.emplace_back(dir.File("fifo.ess"), "Not a regular file (a FIFO, a device or a socket)");
#endif
    for (const auto& [path, reason] : cases) {
        const CliResult r = Cli({"show", path});
        EXPECT_EQ(r.code, 1) << path;
#ifdef _WIN32
        // Windows says it in words of its own.
        EXPECT_EQ(r.err.rfind(std::string(errors::kUnableToOpenSave) + "\n" + path + ": ", 0), 0u)
            << r.err;
#else
        EXPECT_EQ(r.err,
                  std::string(errors::kUnableToOpenSave) + "\n" + path + ": " + reason + "\n");
#endif
    }
}

TEST_F(ShowTest, UsageErrorsHelpAndVersion) {
    for (const std::vector<std::string>& args :
         std::vector<std::vector<std::string>>{{},
                                               {"frobnicate"},
                                               {"show"},
                                               {"show", "a", "b"},
                                               {"show", SavePath(), "--yes"},
                                               {"set", SavePath(), "--name"},
                                               {"set", SavePath(), "--global", "=3"}}) {
        const CliResult r = Cli(args);
        EXPECT_EQ(r.code, 2);
        EXPECT_NE(r.err.find("usage: quellhart-cli show FILE"), std::string::npos);
    }
    EXPECT_EQ(Cli({"--help"}).code, 0);
    EXPECT_NE(Cli({"--help"}).out.find("quellhart-cli diff OLD NEW"), std::string::npos);
    EXPECT_EQ(Cli({"--version"}).out, "quellhart-cli 2.1 (Quellhart Savegame Editor)\n");
}

// Whatever a stop left beside the save (a work file, a save put aside by a restore,
// a second name), reading it renames, deletes and creates nothing: only an Open for
// editing puts such things right.
TEST_F(ShowTest, ReadingDeletesAndCreatesNothingAndTakesAnyName) {
    SaveBuilder().Raw("work file of a running commit").WriteTo(dir.File("save.out"));
    std::filesystem::copy_file(SavePath(), BackupPath());
    std::filesystem::copy_file(SavePath(), dir.File("save.swap"));
    std::filesystem::copy_file(BackupPath(), dir.File("save.prev"));
    const auto before = test::FilesUnder(dir.Path());
    EXPECT_EQ(Cli({"show", SavePath()}).code, 0);
    EXPECT_EQ(Cli({"show", BackupPath()}).code, 0);
    EXPECT_EQ(Cli({"diff", SavePath(), BackupPath()}).code, 0);
    EXPECT_EQ(Cli({"history", SavePath()}).code, 0);
    EXPECT_EQ(test::FilesUnder(dir.Path()), before);
}

TEST_F(ShowTest, JsonIsValidUtf8WhateverThePathsBytes) {
#ifdef _WIN32
    GTEST_SKIP() << "Windows file names are UTF-16: every one has a UTF-8 form";
#endif
    // Each byte that begins no well-formed sequence becomes U+FFFD: a stray byte, a cut
    // sequence, an overlong form, a surrogate, a code point above U+10FFFF.
    const std::pair<const char*, const char*> names[] = {
        {"bad\xFF\xC3(", "bad\uFFFD\uFFFD("},
        {"over\xC0\xAF", "over\uFFFD\uFFFD"},
        {"half\xED\xA0\x80", "half\uFFFD\uFFFD\uFFFD"},
        {"big\xF4\x90\x80\x80", "big\uFFFD\uFFFD\uFFFD\uFFFD"},
        {"top\xF4\x8F\xBF\xBF", "top\U0010FFFF"},
    };
    for (const auto& [raw, shown] : names) {
        const std::string path = dir.File(std::string(raw) + ".ess");
        std::filesystem::copy_file(SavePath(), path);
        const CliResult r = Cli({"show", path, "--json"});
        ASSERT_EQ(r.code, 0) << r.err;
        EXPECT_EQ(r.Json()["file"], dir.File(std::string(shown) + ".ess")) << shown;
    }
}

TEST_F(ShowTest, ControlBytesFromASaveAreEscapedOnTheTerminal) {
    PlayerTexts texts;
    texts.name = "\x1B]0;owned\x07\x1B[2J";
    SaveBuilder().Header().Glob("A\x1B[1mB", 1.0f).Player(texts).WriteTo(SavePath());
    const CliResult r = Cli({"show", SavePath()});
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.out.find('\x1B'), std::string::npos);
    EXPECT_EQ(r.out.find('\x07'), std::string::npos);
    EXPECT_NE(r.out.find("Name:          \\x1B]0;owned\\x07\\x1B[2J\n"), std::string::npos)
        << r.out;
    EXPECT_NE(r.out.find("A\\x1B[1mB"), std::string::npos) << r.out;
    // 0x81 has no character in Windows-1252 and decodes to the C1 control U+0081; in
    // Thai's code page 0x9F stands for U+009F, the last of them. DEL is escaped too;
    // in JSON, every control below U+0020.
    const std::tuple<const char*, const char*, const char*> rows[] = {
        {"a\x81z", "1252", "Name:          a\\u0081z\n"},
        {"a\x9Fz", "874", "Name:          a\\u009Fz\n"},
        {"a\x7Fz", "1252", "Name:          a\\x7Fz\n"},
    };
    for (const auto& [name, codePage, shown] : rows) {
        texts.name = name;
        SaveBuilder().Header().Glob("Day", 1.0f).Player(texts).WriteTo(SavePath());
        const std::string out = Cli({"show", SavePath(), "--code-page", codePage}).out;
        EXPECT_NE(out.find(shown), std::string::npos) << out;
    }
    texts.name = "a\x1Fz";
    SaveBuilder().Header().Glob("Day", 1.0f).Player(texts).WriteTo(SavePath());
    const CliResult json = Cli({"show", SavePath(), "--json"});
    EXPECT_NE(json.out.find("\"name\": \"a\\u001Fz\""), std::string::npos) << json.out;
    EXPECT_EQ(json.Json()["player"]["name"], "a\x1Fz");
#ifndef _WIN32  // no control characters in a file's name there
    // A file's name in what is said on standard error, the cause included.
    const std::string named = dir.File("a\x1B[2Jb.ess");
    std::filesystem::create_directory(named);
    for (const std::vector<std::string>& command :
         {std::vector<std::string>{"show", named}, {"restore", named, "--yes"}}) {
        const CliResult refused = Cli(command);
        EXPECT_EQ(refused.err.find('\x1B'), std::string::npos) << refused.err;
        EXPECT_NE(refused.err.find("a\\x1B[2Jb."), std::string::npos) << refused.err;
    }
#endif
}

}  // namespace
}  // namespace quellhart::test
