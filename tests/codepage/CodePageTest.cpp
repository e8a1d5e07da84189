// The single-byte Windows code pages: every byte of every one keeps its round trip,
// each reads its own letters, and what one cannot hold is known before it is written.
#include <gtest/gtest.h>

#include "codepage/CodePage.h"

namespace quellhart {
namespace {

TEST(CodePage, EveryByteOfEveryCodePageSurvivesTheRoundTrip) {
    std::string all;
    for (int b = 0; b < 256; ++b) all += char(b);
    EXPECT_EQ(CodePage::Numbers(),
              (std::vector<int>{874, 1250, 1251, 1252, 1253, 1254, 1255, 1256, 1257, 1258}));
    for (int number : CodePage::Numbers()) {
        const CodePage& page = *CodePage::Find(number);
        EXPECT_EQ(page.Encode(page.Decode(all)), all) << number;
        EXPECT_TRUE(page.CanHold(page.Decode(all))) << number;
    }
}

struct Letters {
    int codePage;
    const char* bytes;
    const char* text;
};

TEST(CodePage, EachReadsItsOwnLetters) {
    const Letters rows[] = {
        {874, "\xC0\xD2\xC9\xD2\xE4\xB7\xC2", "ภาษาไทย"},
        {1250, "\xA3ukasz \xAF\xF3\xB3\xE6", "Łukasz Żółć"},
        {1251, "\xC8\xE2\xE0\xED \xC3\xF0\xEE\xE7\xED\xFB\xE9", "Иван Грозный"},
        {1252, "Drag\xF3n \x80 \x81\x8D\x8F\x90\x9D", "Dragón € \u0081\u008D\u008F\u0090\u009D"},
        {1252, "\x96 \x97 \x91\x92 \x93\x94 \x85", "– — ‘’ “” …"},  // the dashes and quotes
        {1253, "\xC5\xEB\xEB\xE7\xED\xE9\xEA\xDC", "Ελληνικά"},
        {1254,
         "A\xF0"
         "a\xE7l\xFD \xDE"
         "ehir",
         "Ağaçlı Şehir"},
        {1255, "\xF9\xEC\xE5\xED", "שלום"},
        {1256, "\xE3\xD1\xCD\xC8\xC7", "مرحبا"},
        {1257, "\xC0\xFEuolas \xC7riks", "Ąžuolas Ēriks"},
        {1258, "\xD0\xF5n", "Đơn"},
        // Vietnamese: a letter and a combining tone mark, shown composed.
        {1258, "Tr\xE2\xCCn Thi\xF2 Nguy\xEA\xDEn", "Trần Thị Nguyễn"},
    };
    for (const Letters& row : rows) {
        const CodePage& page = *CodePage::Find(row.codePage);
        EXPECT_EQ(page.Decode(row.bytes), row.text) << row.codePage;
        EXPECT_EQ(page.Encode(row.text), row.bytes) << row.codePage;
    }
}

// A letter with marks stores the same bytes typed composed (as keyboards give it),
// decomposed, or in the code page's own form, and reads back composed: what is read
// and what is typed compare equal.
TEST(CodePage, ALetterWithMarksIsOneTextHoweverItIsTyped) {
    const CodePage& vietnamese = *CodePage::Find(1258);
    struct Row {
        const char* composed;
        const char* decomposed;
        const char* mixed;  // the code page's own letter and a combining mark
        const char* bytes;
    };
    const Row rows[] = {
        {"Nguy\u1EC5n", "Nguye\u0302\u0303n", "Nguy\u00EA\u0303n", "Nguy\xEA\xDEn"},
        {"Th\u1ECB", "Thi\u0323", "Thi\u0323", "Thi\xF2"},
        {"\u1EAC", "A\u0323\u0302", "\u00C2\u0323", "\xC2\xF2"},  // marks in canonical order
        {"\u1EF9", "y\u0303", "y\u0303", "y\xDE"},
    };
    for (const Row& row : rows) {
        for (const char* typed : {row.composed, row.decomposed, row.mixed}) {
            EXPECT_TRUE(vietnamese.CanHold(typed)) << row.composed;
            EXPECT_EQ(vietnamese.Encode(typed), row.bytes) << row.composed;
        }
        EXPECT_EQ(vietnamese.Decode(row.bytes), row.composed);
    }
    // Every vowel of the code page with every tone mark is stored, and read back as
    // one composed letter that stores the same bytes again.
    const char* vowels[] = {
        "a", "\u0103", "\u00E2", "e", "\u00EA", "i", "o", "\u00F4", "\u01A1", "u", "\u01B0", "y",
        "A", "\u0102", "\u00C2", "E", "\u00CA", "I", "O", "\u00D4", "\u01A0", "U", "\u01AF", "Y"};
    for (const char* vowel : vowels) {
        for (const char* tone : {"\u0300", "\u0301", "\u0303", "\u0309", "\u0323"}) {
            const std::string typed = std::string(vowel) + tone;
            const std::string bytes = vietnamese.Encode(typed);
            ASSERT_EQ(bytes.find('?'), std::string::npos) << typed;
            const std::string shown = vietnamese.Decode(bytes);
            size_t at = 0;
            NextCodePoint(shown, at);
            EXPECT_EQ(at, shown.size()) << typed << " is shown as " << shown;
            EXPECT_EQ(vietnamese.Encode(shown), bytes) << typed;
        }
    }
    // What cannot be stored is named.
    EXPECT_EQ(vietnamese.FirstUnstorable("Nguy\u1EC5n \u0416"), "\u0416");
    EXPECT_EQ(CodePage::Western().FirstUnstorable("Nguy\u1EC5n"), "\u1EC5");
    EXPECT_EQ(CodePage::Western().Encode("Jos\u0065\u0301"), "Jos\xE9");  // é, decomposed
}

TEST(CodePage, WhatACodePageCannotHoldIsKnownAndBecomesAQuestionMark) {
    const CodePage& russian = *CodePage::Find(1251);
    EXPECT_FALSE(russian.CanHold("Łukasz"));
    EXPECT_EQ(russian.Encode("Łukasz"), "?ukasz");
    EXPECT_FALSE(CodePage::Western().CanHold("Иван"));
    EXPECT_FALSE(CodePage::Western().CanHold("bad \xC3 end"));
    // Ill-formed UTF-8 is no character, however it might be read: an overlong "/" in
    // two, three and four bytes, a surrogate, a code point beyond U+10FFFF, a sequence
    // of three or four bytes cut short by a letter.
    for (const char* illFormed : {"\xC0\xAF", "\xE0\x80\xAF", "\xF0\x80\x80\xAF", "\xED\xA0\x80",
                                  "\xF4\x90\x80\x80", "\xE2\x82z", "\xF0\x9F\x98z"}) {
        EXPECT_FALSE(CodePage::Western().CanHold(illFormed)) << illFormed;
        EXPECT_EQ(CodePage::Western().Encode(std::string("a") + illFormed).substr(0, 2), "a?");
    }
    EXPECT_EQ(CodePage::Western().Encode("bad \xC3 end \xFF \U0001F600"), "bad ? end ? ?");
    EXPECT_EQ(CodePage::Western().Encode("cut \xE2\x82z \xF0\x9F\x98z"), "cut ??z ???z");
    EXPECT_EQ(CodePage::Western().Encode("Dra\u00E7on \u4E2D \u0080"), "Dra\xE7on ? ?");
    EXPECT_EQ(CodePage::Find(1252)->Number(), 1252);
    for (int unknown : {0, 437, 850, 932, 1200, 1259, 65001})
        EXPECT_EQ(CodePage::Find(unknown), nullptr);
}

}  // namespace
}  // namespace quellhart
