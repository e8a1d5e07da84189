// The system's code page on Windows: its ANSI code page, where that is single-byte;
// where it is not (UTF-8 set for the whole system, or a multi-byte Asian code page),
// the default ANSI code page of the user's locale, and Windows-1252 where that is not
// single-byte either.
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include "codepage/CodePageChoice.h"

namespace quellhart {

CodePageChoice SystemCodePage() {
    if (const CodePage* ansi = CodePage::Find(int(GetACP())))
        return {ansi, "the system's ANSI code page", {}};
    wchar_t number[8] = {};
    if (GetLocaleInfoEx(LOCALE_NAME_USER_DEFAULT, LOCALE_IDEFAULTANSICODEPAGE, number, 8) > 0)
        if (const CodePage* user = CodePage::Find(_wtoi(number)))
            return {user, "the user's locale", {}};
    return {&CodePage::Western(), "the default", {}};
}

}  // namespace quellhart
