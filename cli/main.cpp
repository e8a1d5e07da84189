// quellhart-cli: check or fix Quellhart saves from a terminal or a script, through
// the same save document the editor uses.
#include <unistd.h>

#include <iostream>

#include "cli/Commands.h"

int main(int argc, char** argv) {
    std::ios::sync_with_stdio(false);
    quellhart::cli::Console console{std::cin, std::cout, std::cerr, ::isatty(STDIN_FILENO) == 1};
    const int code = quellhart::cli::Run({argv + 1, argv + argc}, console);
    std::cout.flush();
    return std::cout ? code : quellhart::cli::kExitError;
}
