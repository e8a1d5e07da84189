// Saves whose texts are in their players' code pages, through show, set and diff: the
// code page from --code-page, QUELLHART_CODE_PAGE or the locale; a text the code page
// cannot hold refused before anything is written.
#include "tests/cli/CliTestBase.h"

namespace quellhart::test {
namespace {

constexpr const char* kRussianName = "\xC8\xE2\xE0\xED \xC3\xF0\xEE\xE7\xED\xFB\xE9";  // 1251
constexpr const char* kRussianRace = "\xC4\xE0\xED\xEC\xE5\xF0";
constexpr const char* kPolishName = "\xA3ukasz \xAF\xF3\xB3\xE6";  // 1250

class CodePageTest : public CliTest {
protected:
    std::string WriteSaveNamed(const std::string& name, const std::string& race,
                               const std::string& file) {
        PlayerTexts texts;
        texts.name = name;
        texts.race = race;
        SaveBuilder other;
        other.Header().Glob("Day", 1.0f).Player(texts);
        other.WriteTo(dir.File(file));
        return dir.File(file);
    }
};

struct ShowRow {
    const char* how;
    const char* option;    // --code-page's value, or none
    const char* variable;  // QUELLHART_CODE_PAGE, or none (then LC_ALL decides)
    const char* name;      // as stored
    const char* race;
    const char* shownName;
    const char* shownRace;
    int codePage;
};

TEST_F(CodePageTest, ShowReadsTheTextsInTheChosenCodePage) {
    const ShowRow rows[] = {
        {"option", "1251", nullptr, kRussianName, kRussianRace, "Иван Грозный", "Данмер", 1251},
        {"optionOverVariable", "1250", "1251", kPolishName, "Nord", "Łukasz Żółć", "Nord", 1250},
        {"variable", nullptr, "1251", kRussianName, kRussianRace, "Иван Грозный", "Данмер", 1251},
        {"western", nullptr, "1252", kRussianName, "Nord", "Èâàí Ãðîçíûé", "Nord", 1252},
#ifndef _WIN32
        {"locale", nullptr, nullptr, kPolishName, "Nord", "Łukasz Żółć", "Nord", 1250},
#endif
    };
    for (const ShowRow& row : rows) {
        SCOPED_TRACE(row.how);
        const ScopedVariable variable("QUELLHART_CODE_PAGE", row.variable);
        const ScopedVariable locale("LC_ALL", "pl_PL.UTF-8");
        const std::string path = WriteSaveNamed(row.name, row.race, "players.ess");
        std::vector<std::string> args = {"show", path};
        if (row.option) args.insert(args.end(), {"--code-page", row.option});
        const CliResult text = Cli(args);
        ASSERT_EQ(text.code, 0) << text.err;
        EXPECT_NE(text.out.find(std::string("Name:          ") + row.shownName + "\n"),
                  std::string::npos)
            << text.out;
        args.push_back("--json");
        const nlohmann::json json = Cli(args).Json();
        EXPECT_EQ(json["codePage"], row.codePage);
        EXPECT_EQ(json["player"]["name"], row.shownName);
        EXPECT_EQ(json["player"]["race"], row.shownRace);
    }
}

TEST_F(CodePageTest, SetWritesTheCodePagesBytesAndRefusesWhatItCannotHold) {
    const std::string path = WriteSaveNamed(kRussianName, kRussianRace, "players.ess");
    const std::string before = ReadFileBytes(path);

    CliResult r = Cli({"set", path, "--name", "Пётр", "--yes"});  // Windows-1252
    EXPECT_EQ(r.code, 2);
    EXPECT_NE(r.err.find("--name 'Пётр' holds 'П', which Windows-1252 cannot store"),
              std::string::npos)
        << r.err;
    EXPECT_EQ(ReadFileBytes(path), before);
    EXPECT_FALSE(std::filesystem::exists(dir.File("players.bak")));

    r = Cli({"set", path, "--name", "Пётр", "--code-page", "1251", "--yes", "--json"});
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.Json()["player"]["name"], "Пётр");
    EXPECT_NE(ReadFileBytes(path).find(std::string("\xCF\xB8\xF2\xF0") + '\0' + "RNAM"),
              std::string::npos);

    r = Cli({"diff", dir.File("players.bak"), path, "--code-page", "1251", "--json"});
    EXPECT_EQ(r.code, 1) << r.err;
    EXPECT_EQ(r.Json()["codePage"], 1251);
    EXPECT_EQ(r.Json()["player"]["name"]["old"], "Иван Грозный");
    EXPECT_EQ(r.Json()["player"]["name"]["new"], "Пётр");
}

// A global's name is looked up in the save's code page, as its texts are.
TEST_F(CodePageTest, GlobalNamesAreTheCodePagesToo) {
    const std::string path = dir.File("money.ess");
    SaveBuilder().Header().Glob("\xC4\xE5\xED\xFC\xE3\xE8", 1.0f).Player().WriteTo(path);  // Деньги
    CliResult r = Cli({"set", path, "--global", "Деньги=5", "--yes"});  // Windows-1252
    EXPECT_EQ(r.code, 2);
    EXPECT_NE(r.err.find("no global variable named 'Деньги'"), std::string::npos) << r.err;
    r = Cli({"set", path, "--global", "Деньги=5", "--code-page", "1251", "--yes", "--json"});
    ASSERT_EQ(r.code, 0) << r.err;
    EXPECT_EQ(r.Json()["globals"][0]["name"], "Деньги");
    EXPECT_EQ(r.Json()["globals"][0]["value"], 5.0);
}

TEST_F(CodePageTest, ANumberThatIsNoCodePageIsAUsageError) {
    for (const char* wrong : {"65001", "cp1251", ""}) {
        const CliResult r = Cli({"show", SavePath(), "--code-page", wrong});
        EXPECT_EQ(r.code, 2) << wrong;
        EXPECT_NE(r.err.find(std::string("--code-page names no single-byte Windows code page: '") +
                             wrong + "'"),
                  std::string::npos)
            << r.err;
    }
    const CliResult help = Cli({"--help"});
    EXPECT_NE(help.out.find("Save texts are read and written as Windows-1252 (from "
                            "QUELLHART_CODE_PAGE)."),
              std::string::npos)
        << help.out;
}

}  // namespace
}  // namespace quellhart::test
