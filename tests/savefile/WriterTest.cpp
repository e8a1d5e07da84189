// Committing: the rebuilt save, the patched globals, the backup and the one-commit rule.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>

#include "savefile/SaveErrors.h"
#include "tests/support/FaultyFileSystem.h"
#include "tests/support/LoadedSave.h"
#include "tests/support/SaveGameProbe.h"

namespace quellhart {
namespace {

namespace fs = std::filesystem;
using test::ReadFileBytes;
using test::SaveBuilder;

class WriterTest : public test::LoadedSaveTest {
protected:
    int32_t SizeWordAt(const std::string& bytes, size_t recordAt) const {
        int32_t size;
        std::memcpy(&size, bytes.data() + recordAt + 4, 4);
        return size;
    }
    void SetName(std::string_view name) {
        PlayerRecord record = doc->Player();
        record[PlayerRecord::FNAM] = Subrecord::FromText(name);
        doc->SetPlayerData(record);
    }
};

TEST_F(WriterTest, UnchangedTightSaveIsWrittenByteForByte) {
    const SaveBuilder save = test::StandardSave();
    ASSERT_TRUE(OpenAndLoad(save));
    doc->SetPlayerData(doc->Player());
    ASSERT_TRUE(doc->Commit()) << doc->GetErrorText();
    EXPECT_EQ(ReadFileBytes(SavePath()), save.Bytes());
    EXPECT_EQ(ReadFileBytes(BackupPath()), save.Bytes());
    EXPECT_FALSE(fs::exists(WorkPath()));
    EXPECT_FALSE(test::SaveGameProbe::IsInputOpen(*doc));
}

TEST_F(WriterTest, LongerNameGrowsTheFileAndTheSizeWord) {
    const SaveBuilder save = test::StandardSave();
    const size_t playerAt = save.Bytes().find("NPC_");
    ASSERT_TRUE(OpenAndLoad(save));
    SetName("Bobbert");  // 3 -> 7 characters
    ASSERT_TRUE(doc->Commit()) << doc->GetErrorText();
    const std::string written = ReadFileBytes(SavePath());
    EXPECT_EQ(written.size(), save.Bytes().size() + 4);
    EXPECT_EQ(SizeWordAt(written, playerAt), SizeWordAt(save.Bytes(), playerAt) + 4);
    EXPECT_NE(written.find(std::string("FNAM\x08\0\0\0Bobbert\0", 16)), std::string::npos);
    // Everything after the prefix is carried unchanged.
    const size_t tail = save.Bytes().find("NPDT");
    EXPECT_EQ(written.substr(tail + 4), save.Bytes().substr(tail));

    CSaveGame reread;
    ASSERT_TRUE(reread.Open(SavePath()) && reread.Load());
    EXPECT_EQ(reread.Player()[PlayerRecord::FNAM].Text(), "Bobbert");
}

TEST_F(WriterTest, PaddedStoredNameLosesItsExtraZero) {
    test::PlayerTexts texts;
    texts.name = std::string("Bob\0", 4);  // stored as "Bob" and two zeros
    SaveBuilder save;
    save.Header().Glob("Day", 1).Player(texts).Filler(40);
    const size_t playerAt = save.Bytes().find("NPC_");
    ASSERT_TRUE(OpenAndLoad(save));
    SetName("Bobbert");
    ASSERT_TRUE(doc->Commit()) << doc->GetErrorText();
    const std::string written = ReadFileBytes(SavePath());
    EXPECT_EQ(written.size(), save.Bytes().size() + 3);
    EXPECT_EQ(SizeWordAt(written, playerAt), SizeWordAt(save.Bytes(), playerAt) + 3);
}

TEST_F(WriterTest, ModifiedGlobIsPatchedInPlaceAndItsFlagCleared) {
    const SaveBuilder save = test::StandardSave();
    ASSERT_TRUE(OpenAndLoad(save));
    GlobEntry& month = doc->Glob(1);
    month.value = 7.25f;
    month.modified = true;
    doc->SetPlayerData(doc->Player());
    ASSERT_TRUE(doc->Commit()) << doc->GetErrorText();
    EXPECT_FALSE(month.modified);

    std::string expected = save.Bytes();
    const size_t valueAt = size_t(month.rawAddress) + 16 + 8 + 6 + 8 + 1 + 8;
    expected.replace(valueAt, 4, test::FloatBytes(7.25f));
    EXPECT_EQ(ReadFileBytes(SavePath()), expected);
}

// The copy goes through memory in blocks of up to a mebibyte. A value astride two
// blocks is patched whole, and every other byte is carried, whether the new prefix is
// as long as the old (no rename) or longer.
TEST_F(WriterTest, EveryByteIsCarriedAndAValueAstrideTwoBlocksIsPatchedWhole) {
    const auto valueAt = [](const GlobEntry& g) {
        return size_t(g.rawAddress) + 4 + 12 + 8 + g.NameLen() + 8 + g.fnamLen() + 8;
    };
    // Bytes that differ wherever they are taken from ("100000000100000001..."), so
    // that a stretch copied from the wrong place shows.
    const auto numbered = [](size_t bytes) {
        std::string text;
        for (unsigned i = 0; text.size() < bytes; ++i) text += std::to_string(100000000 + i);
        return text.substr(0, bytes);
    };
    // A global with a long text between the two changed ones puts the second's value
    // where the first block of the stretch ends.
    const auto saveWithText = [&](size_t length) {
        SaveBuilder save;
        save.Header().Glob("First", 2.0f).Glob("Text", 0.0f, std::string(length, 't'));
        return save.Glob("Day", 1.0f).Raw(numbered(3 << 20)).Player().Raw(numbered(100 << 10));
    };
    ASSERT_TRUE(OpenAndLoad(saveWithText(1)));
    ASSERT_LT(valueAt(doc->Glob(0)), size_t(64 << 10));  // the stretch starts at 0
    const SaveBuilder save = saveWithText(1 + (1 << 20) - 2 - valueAt(doc->Glob(2)));
    const size_t playerAt = save.Bytes().find("NPC_");
    for (const bool renamed : {false, true}) {
        ASSERT_TRUE(OpenAndLoad(save));
        ASSERT_EQ(valueAt(doc->Glob(2)), (1u << 20) - 2);
        doc->Glob(0).value = 4.0f;
        doc->Glob(0).modified = true;
        doc->Glob(2).value = -123.5f;
        doc->Glob(2).modified = true;
        renamed ? SetName("Bobbert") : doc->SetPlayerData(doc->Player());
        ASSERT_TRUE(doc->Commit()) << doc->GetErrorText();
        const std::string written = ReadFileBytes(SavePath());
        std::string expected = save.Bytes();
        expected.replace(valueAt(doc->Glob(0)), 4, test::FloatBytes(4.0f));
        expected.replace((1 << 20) - 2, 4, test::FloatBytes(-123.5f));
        if (!renamed) {
            EXPECT_EQ(written, expected);
            continue;
        }
        EXPECT_EQ(written.substr(0, playerAt), expected.substr(0, playerAt));
        const size_t tail = save.Bytes().find("NPDT");
        EXPECT_EQ(written.substr(tail + 4), save.Bytes().substr(tail));
    }
}

TEST_F(WriterTest, GlobWhoseStoredNameRunsLongerStillMatches) {
    // A name longer than any fixed read-back buffer is compared in full.
    SaveBuilder save;
    save.Header().Record("GLOB", {test::TextSub("NAME", std::string(3000, 'n')),
                                  {"FNAM", "f"},
                                  {"FLTV", test::FloatBytes(1)}});
    save.Player();
    ASSERT_TRUE(OpenAndLoad(save));
    doc->Glob(0).value = 2.0f;
    doc->Glob(0).modified = true;
    ASSERT_TRUE(doc->Commit()) << doc->GetErrorText();
    CSaveGame reread;
    ASSERT_TRUE(reread.Open(SavePath()) && reread.Load());
    EXPECT_EQ(reread.Glob(0).value, 2.0f);
}

TEST_F(WriterTest, ExistingBackupIsReplaced) {
    const SaveBuilder save = test::StandardSave();
    SaveBuilder().Raw("an old backup").WriteTo(BackupPath());
    ASSERT_TRUE(OpenAndLoad(save));
    ASSERT_TRUE(doc->Commit()) << doc->GetErrorText();
    EXPECT_EQ(ReadFileBytes(BackupPath()), save.Bytes());
}

TEST_F(WriterTest, SecondCommitIsBlockedAndTouchesNothing) {
    ASSERT_TRUE(OpenAndLoad(test::StandardSave()));
    SetName("First");
    ASSERT_TRUE(doc->Commit());
    const std::string save = ReadFileBytes(SavePath());
    const std::string backup = ReadFileBytes(BackupPath());
    EXPECT_FALSE(doc->Commit());
    EXPECT_EQ(doc->GetErrorText(), errors::kBlocked);
    EXPECT_EQ(ReadFileBytes(SavePath()), save);
    EXPECT_EQ(ReadFileBytes(BackupPath()), backup);
    EXPECT_FALSE(fs::exists(WorkPath()));
    // A committed document opens and loads nothing more.
    EXPECT_FALSE(doc->Open(SavePath()));
    EXPECT_FALSE(doc->Load());
    EXPECT_EQ(doc->GetErrorText(), errors::kBlocked);
}

TEST_F(WriterTest, CommitWithoutALoadedPlayerWritesNothing) {
    const SaveBuilder save = test::StandardSave();
    save.WriteTo(SavePath());
    CSaveGame opened;
    ASSERT_TRUE(opened.Open(SavePath()));
    EXPECT_FALSE(opened.Commit());
    EXPECT_EQ(opened.GetErrorText(), errors::kReconstruction);
    EXPECT_EQ(ReadFileBytes(SavePath()), save.Bytes());
    EXPECT_FALSE(fs::exists(WorkPath()));
}

}  // namespace
}  // namespace quellhart
