#include <gtest/gtest.h>

#include "codepage/Windows1252.h"

namespace quellhart {
namespace {

TEST(Windows1252, EveryByteSurvivesTheRoundTrip) {
    std::string all;
    for (int b = 0; b < 256; ++b) all += char(b);
    EXPECT_EQ(EncodeWindows1252(DecodeWindows1252(all)), all);
}

TEST(Windows1252, DecodesTheCodePagesOwnCharacters) {
    EXPECT_EQ(DecodeWindows1252("\x80 \xE9\x9F"), "\u20AC \u00E9\u0178");
    EXPECT_EQ(DecodeWindows1252("\x81\x8D\x8F\x90\x9D"), "\u0081\u008D\u008F\u0090\u009D");
}

TEST(Windows1252, WhatItCannotHoldBecomesAQuestionMark) {
    EXPECT_EQ(EncodeWindows1252("Dra\u00E7on \u4E2D \u0080"), "Dra\xE7on ? ?");
    EXPECT_EQ(EncodeWindows1252("bad \xC3 end \xFF"), "bad ? end ?");
    EXPECT_EQ(EncodeWindows1252("\U0001F600"), "?");
}

}  // namespace
}  // namespace quellhart
