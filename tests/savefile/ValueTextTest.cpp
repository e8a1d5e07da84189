// Typed values and their display, the same in every locale.
#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <limits>

#include "savefile/ValueText.h"

namespace quellhart {
namespace {

TEST(GlobValueFromText, ReadsTheLeadingNumberLikeAtof) {
    EXPECT_EQ(GlobValueFromText("2.5"), 2.5f);
    EXPECT_EQ(GlobValueFromText("2.5x"), 2.5f);
    EXPECT_EQ(GlobValueFromText("  \t+3"), 3.0f);
    EXPECT_EQ(GlobValueFromText("-.5e1"), -5.0f);
    EXPECT_EQ(GlobValueFromText("7.e"), 7.0f);
    EXPECT_EQ(GlobValueFromText("12e+x"), 12.0f);
    EXPECT_EQ(GlobValueFromText("0.1"), 0.1f);
}

TEST(GlobValueFromText, TextWithoutANumberIsZero) {
    for (const char* text : {"abc", "", "-", ".", "e5", "inf", "nan", "1,5"})
        EXPECT_EQ(GlobValueFromText(text), text == std::string("1,5") ? 1.0f : 0.0f) << text;
}

TEST(GlobValueFromText, OutOfRangeGivesInfinityOrZero) {
    const float inf = std::numeric_limits<float>::infinity();
    EXPECT_EQ(GlobValueFromText("1e39"), inf);
    EXPECT_EQ(GlobValueFromText("-1e39"), -inf);
    EXPECT_EQ(GlobValueFromText("1e400"), inf);
    EXPECT_EQ(GlobValueFromText("-0.001e99999"), -inf);
    EXPECT_EQ(GlobValueFromText("1e-400"), 0.0f);
    EXPECT_EQ(GlobValueFromText("0e99999"), 0.0f);
    EXPECT_EQ(GlobValueFromText("3.4028235e38"), std::numeric_limits<float>::max());
    EXPECT_EQ(GlobValueFromText("1e-45"), std::numeric_limits<float>::denorm_min());
}

TEST(ValueText, FormatsLikeTheCRuntime) {
    EXPECT_EQ(FormatFixed(1.0), "1.000000");
    EXPECT_EQ(FormatFixed(double(0.1f)), "0.100000");
    EXPECT_EQ(FormatFixed(-2.5), "-2.500000");
    EXPECT_EQ(FormatFixed(std::numeric_limits<double>::infinity()), "inf");
    EXPECT_EQ(FormatHexOffset(255), "0xFF");
    EXPECT_EQ(FormatHexOffset(0), "0x0");
    EXPECT_EQ(FormatHexOffset(0x1A2B3C), "0x1A2B3C");
    const uint8_t bytes[] = {0, 10, 255};
    EXPECT_EQ(HexDump(bytes), "00 0A FF ");
    EXPECT_EQ(HexDump(std::span<const uint8_t>()), "");
}

// The full stop stays the separator under a locale whose separator is a comma.
TEST(ValueText, IgnoresTheUsersNumericLocale) {
    const std::string previous = std::setlocale(LC_ALL, nullptr);
    if (!std::setlocale(LC_ALL, "de_DE.UTF-8") ||
        std::string(std::localeconv()->decimal_point) != ",") {
        std::setlocale(LC_ALL, previous.c_str());
        GTEST_SKIP() << "no locale de_DE.UTF-8 with a decimal comma (./test.sh installs it; "
                        "the WebAssembly build's C library has none)";
    }
    EXPECT_EQ(GlobValueFromText("2.5"), 2.5f);
    EXPECT_EQ(GlobValueFromText("2,5"), 2.0f);
    EXPECT_EQ(FormatFixed(2.5), "2.500000");
    std::setlocale(LC_ALL, previous.c_str());
}

}  // namespace
}  // namespace quellhart
