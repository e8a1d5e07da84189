// POSIX: arguments arrive as the bytes the shell passed, UTF-8 on any current system.
#include <unistd.h>

#include "cli/SystemConsole.h"

namespace quellhart::cli {

std::vector<std::string> ProgramArguments(int argc, char** argv) { return {argv + 1, argv + argc}; }

bool StandardInputIsTerminal() { return ::isatty(STDIN_FILENO) == 1; }

void PrepareStandardStreams() {}

}  // namespace quellhart::cli
