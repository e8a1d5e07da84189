// The save input's classic stream state and its tag search across its own buffer.
#include <gtest/gtest.h>

#include <functional>

#include "savefile/SaveFingerprint.h"
#include "savefile/SaveFormat.h"
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

// Whatever the loader reads, in whatever order, the fingerprint is the whole file's,
// and tells a file that differs in one byte.
TEST_F(SaveInputTest, TheFingerprintIsTheWholeFilesWhateverWasRead) {
    constexpr size_t kBuffer = 256 << 10;
    std::string bytes;
    for (size_t i = 0; i < 3 * kBuffer + 17; ++i) bytes += char('a' + i * 7 % 26);
    bytes.replace(2 * kBuffer - 2, 4, "NPC_");
    const std::function<void(SaveInput&)> patterns[] = {
        [](SaveInput&) {},                            // nothing read
        [](SaveInput& in) { in.FindTag(kTagNPC_); },  // a scan across buffers
        [](SaveInput& in) {                           // a scan, back, read on
            in.FindTag(kTagNPC_);
            in.Skip(-100);
            std::string some(5000, '\0');
            in.Read(some.data(), some.size());
        },
        [&](SaveInput& in) {  // ahead first, then back
            std::string some(kBuffer + 3, '\0');
            in.Seek(kBuffer);
            in.Read(some.data(), some.size());
            in.Seek(0);
            in.Read(some.data(), some.size());
        },
    };
    FileSystem& files = SystemFileSystem();
    for (size_t i = 0; i < std::size(patterns); ++i) {
        SCOPED_TRACE(i);
        for (const bool changed : {false, true}) {
            std::string written = bytes;
            if (changed) written[kBuffer + 5] ^= 1;
            test::SaveBuilder().Raw(written).WriteTo(dir.File("in.ess"));
            ASSERT_EQ(input.Open(dir.File("in.ess"), true), FileError::kNone);
            patterns[i](input);
            const std::optional<uint64_t> streamed = input.Fingerprint();
            input.Close();
            // The unchanged file's, read whole.
            test::SaveBuilder().Raw(bytes).WriteTo(dir.File("whole.ess"));
            FileHandle whole = kNoFile;
            ASSERT_TRUE(files.OpenForReading(dir.File("whole.ess"), whole).Ok());
            uint64_t expected = 0;
            ASSERT_TRUE(FingerprintOf(files, whole, int64_t(bytes.size()), expected).Ok());
            files.Close(whole);
            ASSERT_TRUE(streamed.has_value());
            EXPECT_EQ(*streamed == expected, !changed);
        }
    }
    // Not opened fingerprinted: none.
    Write(bytes);
    EXPECT_FALSE(input.Fingerprint().has_value());
}

}  // namespace
}  // namespace quellhart
