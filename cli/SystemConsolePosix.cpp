// POSIX: arguments arrive as the bytes the shell passed, UTF-8 on any current system.
#include <unistd.h>

#include <csignal>

#include "cli/SystemConsole.h"

namespace quellhart::cli {

std::vector<std::string> ProgramArguments(int argc, char** argv) { return {argv + 1, argv + argc}; }

bool StandardInputIsTerminal() { return ::isatty(STDIN_FILENO) == 1; }

// A closed pipe or a file size limit must fail the write, not end the program: the
// commit then cleans up after itself, and the exit code still tells what was done.
void PrepareStandardStreams() {
    std::signal(SIGPIPE, SIG_IGN);
    std::signal(SIGXFSZ, SIG_IGN);
}

}  // namespace quellhart::cli
