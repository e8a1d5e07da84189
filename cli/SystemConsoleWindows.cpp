// Windows: the arguments are read as UTF-16 from the system and converted, since
// argv holds them in the ANSI code page, which cannot hold every file name. Output
// goes out in UTF-8 with the console's code page set to match, in binary mode so
// that "\n" stays one byte, as on every other system.
#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <cstdio>

#include "cli/SystemConsole.h"

namespace quellhart::cli {
namespace {

std::string Utf8(const wchar_t* wide) {
    const int length = WideCharToMultiByte(CP_UTF8, 0, wide, -1, nullptr, 0, nullptr, nullptr);
    if (length <= 1) return {};
    std::string utf8(size_t(length), '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide, -1, utf8.data(), length, nullptr, nullptr);
    utf8.pop_back();  // the terminating zero
    return utf8;
}

}  // namespace

std::vector<std::string> ProgramArguments(int, char**) {
    int count = 0;
    wchar_t** wide = CommandLineToArgvW(GetCommandLineW(), &count);
    std::vector<std::string> arguments;
    for (int i = 1; wide && i < count; ++i) arguments.push_back(Utf8(wide[i]));
    LocalFree(wide);
    return arguments;
}

bool StandardInputIsTerminal() { return _isatty(_fileno(stdin)) != 0; }

void PrepareStandardStreams() {
    SetConsoleOutputCP(CP_UTF8);
    _setmode(_fileno(stdout), _O_BINARY);
    _setmode(_fileno(stderr), _O_BINARY);
}

}  // namespace quellhart::cli
