// The system's code page where the system has none of its own: the one Windows uses
// for the language of the user's locale, as the C library finds it.
#include <cstdlib>

#include "codepage/CodePageChoice.h"

namespace quellhart {

CodePageChoice SystemCodePage() {
    for (const char* variable : {"LC_ALL", "LC_CTYPE", "LANG"}) {
        const char* locale = std::getenv(variable);
        if (locale && *locale)
            return {CodePage::Find(CodePageForLocale(locale)),
                    std::string(variable) + "=" + locale,
                    {}};
    }
    return {&CodePage::Western(), "the default", {}};
}

}  // namespace quellhart
