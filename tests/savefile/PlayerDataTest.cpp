// The edited player prefix: its length, its texts and its size word.
#include <gtest/gtest.h>

#include "savefile/SaveGame.h"
#include "tests/support/SaveBuilder.h"
#include "tests/support/TempDir.h"

namespace quellhart {
namespace {

PlayerRecord RecordWithTexts(std::initializer_list<std::string_view> texts) {
    PlayerRecord record;
    size_t i = 0;
    for (std::string_view text : texts) record.subrecords[i++] = Subrecord::FromText(text);
    return record;
}

TEST(PrefixLength, CountsEachTextWithOneZero) {
    PlayerRecord record =
        RecordWithTexts({"player", "Bob", "Nord", "Thief", "", "head01", "hair01"});
    EXPECT_EQ(CSaveGame::PrefixLength(record), 109);
    // Trailing bytes after the text's zero do not count; data without a zero counts whole.
    record[PlayerRecord::FNAM].data = {'B', 'o', 'b', '\0', '\0', 'x'};
    record[PlayerRecord::RNAM].data = {'N', 'o', 'r', 'd'};
    EXPECT_EQ(CSaveGame::PrefixLength(record), 109);
}

class PlayerDataTest : public ::testing::Test {
protected:
    void LoadSave(const test::PlayerTexts& texts) {
        test::SaveBuilder b;
        b.Header().Glob("Day", 1.0f).Player(texts);
        b.WriteTo(dir.File("s.ess"));
        ASSERT_TRUE(doc.Open(dir.File("s.ess")));
        ASSERT_TRUE(doc.Load()) << doc.GetErrorText();
    }
    test::TempDir dir;
    CSaveGame doc;
};

TEST_F(PlayerDataTest, EveryTextEndsInExactlyOneZero) {
    LoadSave({});
    PlayerRecord record = doc.Player();
    record[PlayerRecord::FNAM].data = {'A', 'n', 'n', '\0', '\0', 'z', 'z'};
    record[PlayerRecord::RNAM].data = {'O', 'r', 'c'};
    doc.SetPlayerData(record);
    EXPECT_EQ(doc.Player()[PlayerRecord::FNAM].data, (std::vector<char>{'A', 'n', 'n', '\0'}));
    EXPECT_EQ(doc.Player()[PlayerRecord::RNAM].data, (std::vector<char>{'O', 'r', 'c', '\0'}));
}

TEST_F(PlayerDataTest, SizeWordFollowsThePrefixLengthWhateverTheNumberOfCalls) {
    LoadSave({});
    const int32_t storedSize = doc.Player().size;
    PlayerRecord record = doc.Player();
    record[PlayerRecord::FNAM] = Subrecord::FromText("Bobby Longname");  // 3 -> 14
    record.size = 12345;                                                 // never used
    doc.SetPlayerData(record);
    EXPECT_EQ(doc.Player().size, storedSize + 11);
    doc.SetPlayerData(record);
    EXPECT_EQ(doc.Player().size, storedSize + 11);
}

TEST_F(PlayerDataTest, LoosePaddingIsTakenOutOfTheSizeWord) {
    test::PlayerTexts texts;
    texts.name = std::string("Bob\0\0", 5);  // stored as 6 bytes, written as 4
    LoadSave(texts);
    EXPECT_EQ(doc.Player()[PlayerRecord::FNAM].length(), 4);
    // The builder's size word covers the stored bytes; the edited one is 2 smaller.
    test::SaveBuilder tight;
    tight.Header().Glob("Day", 1.0f).Player({});
    CSaveGame other;
    tight.WriteTo(dir.File("t.ess"));
    ASSERT_TRUE(other.Open(dir.File("t.ess")) && other.Load());
    EXPECT_EQ(doc.Player().size, other.Player().size);
}

}  // namespace
}  // namespace quellhart
