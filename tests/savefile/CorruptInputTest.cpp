// Whatever the bytes, opening and loading end with success or one known error and a
// cleared model.
#include <gtest/gtest.h>

#include <random>

#include "tests/support/KnownErrors.h"
#include "tests/support/LoadedSave.h"

namespace quellhart {
namespace {

class CorruptInputTest : public test::LoadedSaveTest {
protected:
    void ExpectCleanOutcome(const std::string& bytes, const std::string& what) {
        test::SaveBuilder save;
        save.Raw(bytes);
        if (OpenAndLoad(save)) {
            EXPECT_GE(doc->GlobCount(), 1) << what;
            EXPECT_LE(doc->GlobCount(), kMaxGlobs) << what;
            return;
        }
        EXPECT_TRUE(test::OpenAndLoadErrors().count(doc->GetErrorText()))
            << what << ": " << doc->GetErrorText();
        EXPECT_EQ(doc->GlobCount(), 0) << what;
        EXPECT_TRUE(doc->Player()[PlayerRecord::FNAM].data.empty()) << what;
    }
};

TEST_F(CorruptInputTest, EveryTruncationOfAValidSave) {
    const std::string full = test::StandardSave().Bytes();
    for (size_t length = 0; length <= full.size(); ++length)
        ExpectCleanOutcome(full.substr(0, length), "length " + std::to_string(length));
    // Only the whole file, or one cut inside the trailing records, still loads.
    test::SaveBuilder cut;
    cut.Raw(full.substr(0, full.size() / 2));
    EXPECT_FALSE(OpenAndLoad(cut));
}

TEST_F(CorruptInputTest, SeededRandomByteChanges) {
    std::mt19937 random(7);
    const std::string base = test::StandardSave().Bytes();
    for (int round = 0; round < 400; ++round) {
        std::string bytes = base;
        for (int c = 0, n = 1 + int(random() % 8); c < n; ++c)
            bytes[random() % bytes.size()] = char(random());
        ExpectCleanOutcome(bytes, "round " + std::to_string(round));
    }
}

}  // namespace
}  // namespace quellhart
