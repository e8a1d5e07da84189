// The command line of quellhart-cli, parsed into one request.
#pragma once

#include <optional>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "cli/CommandTable.h"

namespace quellhart::cli {

// A mistake in the command line: exit code 2, with the usage.
struct UsageError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

struct Request {
    std::string command;  // show, set, restore, diff, history, help, version
    std::vector<std::string> files;
    // The five player texts that `set` changes, as typed (UTF-8).
    std::optional<std::string> name, race, cls, head, hair;
    std::vector<std::pair<std::string, float>> globals;  // NAME=VALUE, in order
    bool yes = false;
    bool json = false;
    std::optional<std::string> codePage;  // as given with --code-page
    std::optional<int> keep;              // --keep: versions kept besides the original
    std::optional<int> version;           // --version: the version to put back, from 1
};

// Reads the command line by the command table; a mistake throws UsageError.
Request ParseCommandLine(const std::vector<std::string>& args);

}  // namespace quellhart::cli
