// Which code page a save's texts are read and written in. A save does not say: the
// game wrote them in the ANSI code page of the Windows it ran on. So the program
// takes the user's choice (the --code-page option, then the QUELLHART_CODE_PAGE
// environment variable), else the system's: on Windows its ANSI code page, elsewhere
// the one Windows uses for the language of the user's locale.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "codepage/CodePage.h"

namespace quellhart {

struct CodePageChoice {
    const CodePage* codePage = nullptr;
    std::string source;  // where it came from, as Help says it: "LANG=ru_RU.UTF-8"
    std::string error;   // when the user's choice is no code page known here
};

// The code page Windows uses for the language of a locale name ("ru_RU.UTF-8", "pl",
// "C"): Windows-1252 for any language without one of its own.
int CodePageForLocale(std::string_view locale);

// A code page as the user wrote it, or the error saying why it is none.
CodePageChoice ParseCodePage(std::string_view text, const std::string& source);

// The system's code page (defined for each platform).
CodePageChoice SystemCodePage();

// The choice: `option` (from the command line) where given, else the environment
// variable, else the system's.
CodePageChoice ChooseCodePage(const std::optional<std::string>& option);

// The choice said in one line, for Help and --help: "Windows-1251 (from LANG=ru_RU.UTF-8)";
// for a choice that failed, why.
std::string DescribeCodePage(const CodePageChoice& choice);
// The sentence --help ends with: which code page the save's texts are read and written
// in, or why the one asked for is none.
std::string CodePageSentence(const CodePageChoice& choice);

}  // namespace quellhart
