#include "tests/cli/CliTestBase.h"

namespace quellhart::test {
namespace {

class DiffTest : public CliTest {};

TEST_F(DiffTest, SaveAgainstItsEditedCopy) {
    ASSERT_EQ(Cli({"set", SavePath(), "--race", "Orc", "--hair", "braids", "--global", "Month=4",
                   "--yes"})
                  .code,
              0);
    CliResult r = Cli({"diff", BackupPath(), SavePath()});
    EXPECT_EQ(r.code, 1) << r.err;
    EXPECT_EQ(r.out,
              "race: \"Nord\" -> \"Orc\"\nhair: \"b_n_nord_m_hair_02\" -> \"braids\"\n"
              "global Month: 3.000000 -> 4.000000\n");

    r = Cli({"diff", BackupPath(), SavePath(), "--json"});
    EXPECT_EQ(r.code, 1);
    const nlohmann::json j = r.Json();
    EXPECT_EQ(j["same"], false);
    EXPECT_EQ(j["player"]["race"]["old"], "Nord");
    EXPECT_EQ(j["player"]["race"]["new"], "Orc");
    EXPECT_EQ(j["player"]["hair"]["new"], "braids");
    EXPECT_FALSE(j["player"].contains("name"));
    EXPECT_TRUE(j["chargenClass"].is_null());
    ASSERT_EQ(j["globals"]["changed"].size(), 1u);
    EXPECT_EQ(j["globals"]["changed"][0]["new"], 4.0);
}

TEST_F(DiffTest, GlobalsOnlyInOneSaveAndTheChargenMark) {
    SaveBuilder other;
    other.Header().Glob("Day", 12.0f).Glob("Extra", 1.0f).Clas("NEWCLASSID_CHARGEN").Player();
    other.WriteTo(dir.File("other.ess"));
    const nlohmann::json j = Cli({"diff", SavePath(), dir.File("other.ess"), "--json"}).Json();
    EXPECT_EQ(j["globals"]["onlyInOld"], nlohmann::json({"Day", "GameHour", "Month"}));
    EXPECT_EQ(j["globals"]["onlyInNew"], nlohmann::json({"Extra"}));
    EXPECT_EQ(j["chargenClass"]["new"], true);
    EXPECT_EQ(j["player"]["name"]["new"], "Bob");
    // As the versions' changes say it too.
    const std::string text = Cli({"diff", SavePath(), dir.File("other.ess")}).out;
    EXPECT_NE(text.find("only in old: global Month\nonly in new: global Extra\n"),
              std::string::npos)
        << text;
}

// A value stored with another length is a change even where the slot's bytes agree.
TEST_F(DiffTest, AValueOfAnotherLengthIsAChange) {
    for (const auto& [path, value] :
         {std::pair{dir.File("four.ess"), std::string("\x11\x22\0\0", 4)},
          {dir.File("two.ess"), std::string("\x11\x22")}})
        SaveBuilder()
            .Header()
            .Record("GLOB", {TextSub("NAME", "Day"), {"FNAM", "f"}, {"FLTV", value}})
            .Player()
            .WriteTo(path);
    const nlohmann::json j =
        Cli({"diff", dir.File("four.ess"), dir.File("two.ess"), "--json"}).Json();
    EXPECT_EQ(j["globals"]["changed"].size(), 1u) << j.dump();
}

TEST_F(DiffTest, SameSavesAndTrouble) {
    save.WriteTo(BackupPath());
    CliResult r = Cli({"diff", SavePath(), BackupPath()});
    EXPECT_EQ(r.code, 0);
    EXPECT_EQ(r.out, "");
    const nlohmann::json same = Cli({"diff", SavePath(), BackupPath(), "--json"}).Json();
    EXPECT_EQ(same["same"], true);
    EXPECT_EQ(same["format"], 1);

    r = Cli({"diff", SavePath(), dir.File("missing.ess")});
    EXPECT_EQ(r.code, 2);
    EXPECT_EQ(r.err.rfind(dir.File("missing.ess") + ": Unable to open .ess file. Read\n" +
                              dir.File("missing.ess") + ": ",
                          0),
              0u)
        << r.err;
    EXPECT_EQ(Cli({"diff", SavePath()}).code, 2);
}

}  // namespace
}  // namespace quellhart::test
