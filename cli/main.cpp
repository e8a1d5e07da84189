// quellhart-cli: check or fix Quellhart saves from a terminal or a script, through
// the same save document the editor uses.
#include <iostream>

#include "cli/Commands.h"
#include "cli/SystemConsole.h"

int main(int argc, char** argv) {
    using namespace quellhart::cli;
    PrepareStandardStreams();
    std::ios::sync_with_stdio(false);
    Console console{std::cin, std::cout, std::cerr, StandardInputIsTerminal()};
    const int code = Run(ProgramArguments(argc, argv), console);
    std::cout.flush();
    return std::cout ? code : kExitError;
}
