#include "cli/CommandLine.h"

#include <charconv>
#include <cmath>
#include <map>

namespace quellhart::cli {

const char* const kUsage =
    "usage: quellhart-cli show FILE [--json]\n"
    "       quellhart-cli set FILE [--name TEXT] [--race TEXT] [--class TEXT] [--head TEXT]\n"
    "                              [--hair TEXT] [--global NAME=VALUE]... [--yes] [--json]\n"
    "       quellhart-cli restore FILE [--yes]\n"
    "       quellhart-cli diff OLD NEW [--json]\n"
    "       quellhart-cli --help | --version\n";

namespace {

// A value for --global: the whole text one decimal number ("2.5", "-1e3", ".5") that
// a finite 32-bit float holds. The window reads its value field more leniently, as
// the game's own tools did; a script gets told instead of a silent 0.
std::optional<float> FiniteFloatFromText(const std::string& text) {
    float value = 0;
    const char* end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, value, std::chars_format::general);
    if (text.empty() || error != std::errc() || stop != end || !std::isfinite(value))
        return std::nullopt;
    return value;
}

struct CommandShape {
    size_t files;
    bool takesJson, takesYes, takesEdits;
};

const std::map<std::string, CommandShape> kCommands = {
    {"show", {1, true, false, false}},
    {"set", {1, true, true, true}},
    {"restore", {1, false, true, false}},
    {"diff", {2, true, false, false}},
};

}  // namespace

Request ParseCommandLine(const std::vector<std::string>& args) {
    Request request;
    if (args.empty()) throw UsageError("no command given");
    if (args.size() == 1 && (args[0] == "--help" || args[0] == "-h" || args[0] == "--version")) {
        request.command = args[0] == "--version" ? "version" : "help";
        return request;
    }
    const auto shape = kCommands.find(args[0]);
    if (shape == kCommands.end()) throw UsageError("unknown command '" + args[0] + "'");
    request.command = args[0];

    std::map<std::string, std::optional<std::string>*> texts = {{"--name", &request.name},
                                                                {"--race", &request.race},
                                                                {"--class", &request.cls},
                                                                {"--head", &request.head},
                                                                {"--hair", &request.hair}};
    for (size_t i = 1; i < args.size(); ++i) {
        const std::string& arg = args[i];
        auto value = [&]() -> const std::string& {
            if (i + 1 >= args.size()) throw UsageError(arg + " needs a value");
            return args[++i];
        };
        if (arg == "--json" && shape->second.takesJson) {
            request.json = true;
        } else if (arg == "--yes" && shape->second.takesYes) {
            request.yes = true;
        } else if (shape->second.takesEdits && texts.count(arg)) {
            *texts[arg] = value();
        } else if (shape->second.takesEdits && arg == "--global") {
            const std::string& assignment = value();
            const size_t equals = assignment.find('=');
            if (equals == std::string::npos || equals == 0)
                throw UsageError("--global takes NAME=VALUE, not '" + assignment + "'");
            const std::string valueText = assignment.substr(equals + 1);
            const std::optional<float> number = FiniteFloatFromText(valueText);
            if (!number)
                throw UsageError("--global " + assignment.substr(0, equals) +
                                 " takes a decimal number, not '" + valueText + "'");
            request.globals.emplace_back(assignment.substr(0, equals), *number);
        } else if (arg.size() > 1 && arg[0] == '-') {
            throw UsageError("unknown option '" + arg + "' for " + request.command);
        } else {
            request.files.push_back(arg);
        }
    }
    if (request.files.size() != shape->second.files)
        throw UsageError(request.command + " takes " + std::to_string(shape->second.files) +
                         (shape->second.files == 1 ? " file" : " files"));
    return request;
}

}  // namespace quellhart::cli
