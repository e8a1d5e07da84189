// How a command reports a failure on standard error: the error's text on a line of its
// own, then the cause, where there is one, line by line, so that a script can match the
// first line alone. Control characters (in a file's name) are escaped.
#pragma once

#include <string>

#include "savefile/SaveErrors.h"

namespace quellhart::cli {

std::string ErrorLines(const SaveError& error);

}  // namespace quellhart::cli
