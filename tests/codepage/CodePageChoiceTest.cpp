// Which code page a save's texts are read in: the language of a locale, the user's
// choice over the system's, and a number that is no single-byte code page refused.
#include <gtest/gtest.h>

#include "codepage/CodePageChoice.h"
#include "tests/support/ScopedVariable.h"

namespace quellhart {
namespace {

using test::ScopedVariable;

TEST(CodePageChoice, EachLanguageHasTheCodePageWindowsGivesIt) {
    const std::pair<const char*, int> rows[] = {
        {"ru_RU.UTF-8", 1251},
        {"uk_UA", 1251},
        {"be_BY.UTF-8", 1251},
        {"bg", 1251},
        {"sr_RS@latin", 1250},
        {"mk_MK", 1251},
        {"pl_PL.UTF-8", 1250},
        {"cs_CZ", 1250},
        {"sk", 1250},
        {"hu_HU", 1250},
        {"sl_SI", 1250},
        {"hr_HR", 1250},
        {"ro_RO", 1250},
        {"sq_AL", 1250},
        {"el_GR.UTF-8", 1253},
        {"tr_TR", 1254},
        {"az_AZ", 1254},
        {"he_IL", 1255},
        {"ar_EG", 1256},
        {"fa_IR", 1256},
        {"ur_PK", 1256},
        {"lt_LT", 1257},
        {"lv_LV", 1257},
        {"et_EE", 1257},
        {"vi_VN", 1258},
        {"th_TH", 874},
        {"RU-ru", 1251},
        {"de_DE.UTF-8", 1252},
        {"en_US", 1252},
        {"C", 1252},
        {"POSIX", 1252},
        {"C.UTF-8", 1252},
        {"", 1252},
        {"ja_JP", 1252},
        {"rus", 1252},
        {"sr_RS", 1251},
        {"sr-Latn-RS", 1250},
        {"sr_RS.UTF-8@latin", 1250},
    };
    for (const auto& [locale, codePage] : rows)
        EXPECT_EQ(CodePageForLocale(locale), codePage) << locale;
}

TEST(CodePageChoice, TheOptionBeatsTheVariableWhichBeatsTheSystem) {
    const ScopedVariable variable("QUELLHART_CODE_PAGE", "1250");
    const CodePageChoice fromOption = ChooseCodePage(std::string("1251"));
    ASSERT_NE(fromOption.codePage, nullptr);
    EXPECT_EQ(fromOption.codePage->Number(), 1251);
    EXPECT_EQ(DescribeCodePage(fromOption), "Windows-1251 (from --code-page)");
    const CodePageChoice fromVariable = ChooseCodePage(std::nullopt);
    ASSERT_NE(fromVariable.codePage, nullptr);
    EXPECT_EQ(DescribeCodePage(fromVariable), "Windows-1250 (from QUELLHART_CODE_PAGE)");
}

#ifndef _WIN32
TEST(CodePageChoice, OnLinuxTheSystemsIsTheLocalesLanguage) {
    const ScopedVariable all("LC_ALL", nullptr), type("LC_CTYPE", "el_GR.UTF-8");
    const ScopedVariable lang("LANG", "ru_RU.UTF-8");
    EXPECT_EQ(DescribeCodePage(ChooseCodePage(std::nullopt)),
              "Windows-1253 (from LC_CTYPE=el_GR.UTF-8)");
    const ScopedVariable noType("LC_CTYPE", nullptr), noLang("LANG", nullptr);
    EXPECT_EQ(DescribeCodePage(ChooseCodePage(std::nullopt)), "Windows-1252 (from the default)");
    // An empty variable is one not set: it hides nothing behind it.
    const ScopedVariable emptyAll("LC_ALL", ""), lang2("LANG", "pl_PL.UTF-8"),
        emptyOwn("QUELLHART_CODE_PAGE", "");
    EXPECT_EQ(DescribeCodePage(ChooseCodePage(std::nullopt)),
              "Windows-1250 (from LANG=pl_PL.UTF-8)");
}
#endif

TEST(CodePageChoice, ANumberThatIsNoSingleByteCodePageIsRefused) {
    for (const char* wrong :
         {"65001", "932", "437", "1259", "12510", "-1251", "1251x", "", "cp1251"}) {
        const CodePageChoice choice = ChooseCodePage(std::string(wrong));
        EXPECT_EQ(choice.codePage, nullptr) << wrong;
        EXPECT_EQ(DescribeCodePage(choice), choice.error) << wrong;  // said, not dereferenced
        EXPECT_EQ(choice.error,
                  std::string("--code-page names no single-byte Windows code page: '") + wrong +
                      "' (known: 874, 1250, 1251, 1252, 1253, 1254, 1255, 1256, 1257, 1258)");
    }
    const ScopedVariable variable("QUELLHART_CODE_PAGE", "utf-8");
    EXPECT_NE(ChooseCodePage(std::nullopt).error.find("QUELLHART_CODE_PAGE names no"),
              std::string::npos);
}

}  // namespace
}  // namespace quellhart
