// The save input's classic stream state and its tag search across its own buffer.
#include <gtest/gtest.h>

#include <filesystem>

#include "savefile/SaveFingerprint.h"
#include "savefile/SaveFormat.h"
#include "savefile/SaveGame.h"
#include "savefile/SaveInput.h"
#include "tests/support/SaveBuilder.h"
#include "tests/support/TempDir.h"

namespace quellhart {
namespace {

class SaveInputTest : public ::testing::Test {
protected:
    void Write(const std::string& bytes) {
        test::SaveBuilder().Raw(bytes).WriteTo(dir.File("in.ess"));
        ASSERT_EQ(input.Open(dir.File("in.ess")), FileError::kNone);
    }
    test::TempDir dir;
    SaveInput input{SystemFileSystem()};
};

TEST_F(SaveInputTest, ShortReadFailsAndSeekingDoesNotClearIt) {
    Write("abcdef");
    char buffer[8];
    EXPECT_EQ(input.Read(buffer, 4), 4u);
    EXPECT_EQ(input.Tell(), 4);
    EXPECT_EQ(input.Read(buffer, 4), 2u);
    EXPECT_FALSE(input.Good());
    EXPECT_EQ(input.Tell(), -1);
    input.Seek(0);
    EXPECT_EQ(input.Read(buffer, 1), 0u);
    input.Clear();
    input.Seek(1);
    EXPECT_EQ(input.Read(buffer, 2), 2u);
    EXPECT_EQ(std::string(buffer, 2), "bc");
}

TEST_F(SaveInputTest, SeekingPastTheEndFailsTheNextRead) {
    Write("abc");
    char c;
    EXPECT_TRUE(input.Seek(10));
    EXPECT_EQ(input.Read(&c, 1), 0u);
    EXPECT_FALSE(input);
}

TEST_F(SaveInputTest, FindsTagsStraddlingItsBufferAndReadsBackAcrossIt) {
    constexpr size_t kBuffer = 256 << 10;
    for (size_t at :
         {kBuffer - 4, kBuffer - 3, kBuffer - 1, kBuffer, 2 * kBuffer - 5, 2 * kBuffer - 2}) {
        std::string bytes(3 * kBuffer, 'x');
        bytes.replace(at, 4, "NPC_");
        Write(bytes);
        ASSERT_EQ(input.FindTag(kTagNPC_), int64_t(at)) << at;
        // After the hit, reads start at the tag, whatever the buffer held.
        char tag[4];
        ASSERT_EQ(input.Read(tag, 4), 4u);
        EXPECT_EQ(std::string(tag, 4), "NPC_");
        EXPECT_FALSE(input.FindTag(kTagNPC_)) << at;
        EXPECT_FALSE(input.Good());
    }
}

TEST_F(SaveInputTest, LargeReadsAfterSmallOnesDeliverEveryByteInOrder) {
    std::string bytes;
    for (int i = 0; i < 700000; ++i) bytes += char('a' + i % 26);
    Write(bytes);
    std::string got(5, '\0');
    input.Read(got.data(), 5);
    std::string rest(bytes.size() - 5, '\0');
    EXPECT_EQ(input.Read(rest.data(), rest.size()), rest.size());
    EXPECT_EQ(got + rest, bytes);
}

// The fingerprint taken as the file is read is the whole file's, however much the
// reads covered before it was finished (a backward step included), and reads after it
// still deliver the file's bytes.
TEST_F(SaveInputTest, TheFingerprintAsReadIsTheWholeFilesAndReadsGoOnAfterIt) {
    std::string bytes;
    for (int i = 0; i < 700000; ++i) bytes += char('a' + i * 7 % 26);
    for (const size_t readFirst : {size_t{0}, size_t{5}, size_t{300000}}) {
        SCOPED_TRACE(readFirst);
        Write(bytes);
        input.StartFingerprint();
        std::string first(readFirst, '\0');
        input.Read(first.data(), first.size());
        if (readFirst > 0) input.Skip(-1);
        uint64_t asRead = 0, whole = 0;
        ASSERT_EQ(input.FinishFingerprint(asRead), FileError::kNone);
        ASSERT_EQ(FingerprintOf(SystemFileSystem(), input.Handle(), int64_t(bytes.size()), whole),
                  FileError::kNone);
        EXPECT_EQ(asRead, whole);
        std::string after(6, '\0');
        input.Seek(10);
        EXPECT_EQ(input.Read(after.data(), after.size()), after.size());
        EXPECT_EQ(after, bytes.substr(10, 6));
    }
}

// A file cut short by another program between its open and the reads: every read
// past the new end fails, the fingerprint cannot be finished, and a load says the
// save is not whole.
TEST_F(SaveInputTest, AFileCutShortWhileOpenFailsItsReadsAndNothingElse) {
    constexpr size_t kBuffer = 256 << 10;
    std::string bytes(3 * kBuffer, 'x');
    bytes.replace(bytes.size() - 4, 4, "NPC_");
    const auto cutShort = [&] { std::filesystem::resize_file(dir.File("in.ess"), 1000); };
    struct Case {
        const char* what;
        std::function<bool(SaveInput&)> reads;  // whether it got what it asked for
    };
    const Case cases[] = {
        {"a search", [](SaveInput& in) { return in.FindTag(kTagNPC_).has_value(); }},
        {"a read across the end",
         [](SaveInput& in) {
             std::string got(2 * kBuffer, '\0');
             return in.Skip(500).Read(got.data(), got.size()) == got.size();
         }},
        {"a read after a search of the part still there",
         [](SaveInput& in) {
             char tag[4];
             return !in.FindTag(kTagNPC_) && (in.Clear(), in.Seek(2 * kBuffer).Read(tag, 4) == 4);
         }},
        {"the fingerprint",
         [](SaveInput& in) {
             in.StartFingerprint();
             uint64_t value = 0;
             return in.FinishFingerprint(value).Ok();
         }},
    };
    for (const Case& c : cases) {
        Write(bytes);
        cutShort();
        EXPECT_FALSE(c.reads(input)) << c.what;
        input.Close();
    }
    CSaveGame save(SystemFileSystem());
    test::SaveBuilder()
        .Raw(test::StandardSave().Filler(4 * kBuffer).Player().Bytes())
        .WriteTo(dir.File("save.ess"));
    ASSERT_TRUE(save.Open(dir.File("save.ess")));
    std::filesystem::resize_file(dir.File("save.ess"), 2 * kBuffer);
    EXPECT_FALSE(save.Load());
    EXPECT_FALSE(save.GetErrorText().empty());
}

}  // namespace
}  // namespace quellhart
