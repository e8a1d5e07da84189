#include "cli/ErrorLines.h"

namespace quellhart::cli {

std::string ErrorLines(const SaveError& error) {
    std::string lines = error.text + "\n";
    if (!error.cause.empty()) lines += error.cause + "\n";
    return lines;
}

}  // namespace quellhart::cli
