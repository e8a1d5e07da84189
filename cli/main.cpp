// quellhart-cli: check or fix Quellhart saves from a terminal or a script, through
// the same save document the editor uses.
#include <iostream>

#include "cli/Commands.h"
#include "cli/SystemConsole.h"

namespace {

// The commands whose exit code reports a change of the save's files.
bool ChangesFiles(const std::vector<std::string>& arguments) {
    return !arguments.empty() && (arguments[0] == "set" || arguments[0] == "restore");
}

}  // namespace

int main(int argc, char** argv) {
    using namespace quellhart::cli;
    PrepareStandardStreams();
    std::ios::sync_with_stdio(false);
    Console console{std::cin, std::cout, std::cerr, StandardInputIsTerminal()};
    const std::vector<std::string> arguments = ProgramArguments(argc, argv);
    const int code = Run(arguments, console);
    std::cout.flush();
    if (std::cout) return code;
    // The report could not be written (a closed pipe, a full disk). That is said
    // where it can be; for set and restore the exit code still says what happened to
    // the files, or a script would retry and undo or repeat what was done.
    std::cerr << "quellhart-cli: could not write to standard output\n";
    return code == kExitOk && !ChangesFiles(arguments) ? kExitError : code;
}
