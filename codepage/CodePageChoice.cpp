#include "codepage/CodePageChoice.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cstdlib>

namespace quellhart {
namespace {

constexpr const char* kVariable = "QUELLHART_CODE_PAGE";

struct LanguageCodePage {
    const char* language;  // ISO 639-1, lower case
    int codePage;
};

// The ANSI code page Windows gives each language that has one other than 1252.
constexpr LanguageCodePage kLanguages[] = {
    {"ru", 1251}, {"uk", 1251}, {"be", 1251}, {"bg", 1251}, {"sr", 1251}, {"mk", 1251},
    {"pl", 1250}, {"cs", 1250}, {"sk", 1250}, {"hu", 1250}, {"sl", 1250}, {"hr", 1250},
    {"ro", 1250}, {"sq", 1250}, {"el", 1253}, {"tr", 1254}, {"az", 1254}, {"he", 1255},
    {"ar", 1256}, {"fa", 1256}, {"ur", 1256}, {"lt", 1257}, {"lv", 1257}, {"et", 1257},
    {"vi", 1258}, {"th", 874},
};

std::string KnownNumbers() {
    std::string list;
    for (int number : CodePage::Numbers())
        list += (list.empty() ? "" : ", ") + std::to_string(number);
    return list;
}

}  // namespace

int CodePageForLocale(std::string_view locale) {
    std::string lower(locale);
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](unsigned char c) { return char(std::tolower(c)); });
    const std::string language = lower.substr(0, lower.find_first_of("_-.@"));
    // Serbian in Latin letters ("sr_RS@latin", a browser's "sr-Latn-RS") is
    // Windows's Serbian (Latin), in 1250; in Cyrillic, 1251.
    if (language == "sr" &&
        (lower.find("@latin") != std::string::npos || lower.find("-latn") != std::string::npos))
        return 1250;
    for (const LanguageCodePage& entry : kLanguages)
        if (language == entry.language) return entry.codePage;
    return 1252;
}

CodePageChoice ParseCodePage(std::string_view text, const std::string& source) {
    int number = 0;
    const char* end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, number);
    const CodePage* page = error == std::errc() && stop == end ? CodePage::Find(number) : nullptr;
    if (!page)
        return {nullptr, source,
                source + " names no single-byte Windows code page: '" + std::string(text) +
                    "' (known: " + KnownNumbers() + ")"};
    return {page, source, {}};
}

CodePageChoice ChooseCodePage(const std::optional<std::string>& option) {
    if (option) return ParseCodePage(*option, "--code-page");
    if (const char* variable = std::getenv(kVariable); variable && *variable)
        return ParseCodePage(variable, kVariable);
    return SystemCodePage();
}

std::string CodePageSentence(const CodePageChoice& choice) {
    return choice.codePage ? "Save texts are read and written as " + DescribeCodePage(choice) + "."
                           : choice.error + ".";
}

std::string DescribeCodePage(const CodePageChoice& choice) {
    if (!choice.codePage) return choice.error;  // a choice that failed says why
    return "Windows-" + std::to_string(choice.codePage->Number()) + " (from " + choice.source + ")";
}

}  // namespace quellhart
