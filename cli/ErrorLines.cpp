#include "cli/ErrorLines.h"

#include "cli/SaveReport.h"

namespace quellhart::cli {

// Each line as a terminal shows it: a file name's control characters escaped, as on
// standard output, so that no name can move the cursor or fake a line.
std::string ErrorLines(const SaveError& error) {
    std::string lines = ForTerminalLines(error.text) + "\n";
    if (!error.cause.empty()) lines += ForTerminalLines(error.cause) + "\n";
    return lines;
}

}  // namespace quellhart::cli
