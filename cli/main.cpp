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
    const std::vector<std::string> arguments = ProgramArguments(argc, argv);
    const int code = Run(arguments, console);
    std::cout.flush();
    if (std::cout) return code;
    // The report could not be written (a closed pipe, a full disk): said where it can be.
    std::cerr << "quellhart-cli: could not write to standard output\n";
    return ExitCodeAfterOutputFailure(arguments, code);
}
