#include "cli/CommandLine.h"

#include <algorithm>
#include <charconv>
#include <cmath>

#include "codepage/CodePage.h"
#include "savefile/SaveHistory.h"

namespace quellhart::cli {
namespace {

// A value for --global: the whole text one decimal number ("2.5", "-1e3", ".5") that
// a finite 32-bit float holds. The window reads its value field more leniently, as
// the game's own tools did; a script gets told instead of a silent 0. `tooLarge`
// says a number was there, only beyond what a 32-bit float holds (1e40, 1e-50).
std::optional<float> FiniteFloatFromText(const std::string& text, bool& outOfRange) {
    float value = 0;
    const char* end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, value, std::chars_format::general);
    outOfRange = !text.empty() && stop == end && error == std::errc::result_out_of_range;
    if (text.empty() || error != std::errc() || stop != end || !std::isfinite(value))
        return std::nullopt;
    return value;
}

void Store(Request& request, Option option, const std::string& value) {
    // A text that is no well-formed UTF-8 (an overlong "/", a lone surrogate) is no
    // text a save could be given, or a name it could be looked up by.
    if (!IsValidUtf8(value))
        throw UsageError(std::string(Details(option).name) + " is not valid UTF-8");
    switch (option) {
        case Option::kJson:
            request.json = true;
            break;
        case Option::kYes:
            request.yes = true;
            break;
        case Option::kName:
            request.name = value;
            break;
        case Option::kRace:
            request.race = value;
            break;
        case Option::kClass:
            request.cls = value;
            break;
        case Option::kHead:
            request.head = value;
            break;
        case Option::kHair:
            request.hair = value;
            break;
        case Option::kCodePage:
            request.codePage = value;
            break;
        case Option::kKeep:
            request.keep = ParseWholeNumber(value);
            if (!request.keep)
                throw UsageError("--keep takes a whole number from 0 up, not '" + value + "'");
            break;
        case Option::kVersion:
            request.version = ParseWholeNumber(value);
            if (!request.version || *request.version < 1)
                throw UsageError("--version takes a version's number from 1 up, not '" + value +
                                 "'");
            break;
        case Option::kGlobal: {
            const size_t equals = value.find('=');
            if (equals == std::string::npos || equals == 0)
                throw UsageError("--global takes NAME=VALUE, not '" + value + "'");
            const std::string name = value.substr(0, equals), number = value.substr(equals + 1);
            bool outOfRange = false;
            const std::optional<float> parsed = FiniteFloatFromText(number, outOfRange);
            if (outOfRange)
                throw UsageError("--global " + name + "=" + number +
                                 " is out of range for a 32-bit float");
            if (!parsed)
                throw UsageError("--global " + name + " takes a decimal number, not '" + number +
                                 "'");
            request.globals.emplace_back(name, *parsed);
            break;
        }
    }
}

}  // namespace

const OptionSpec& Details(Option option) {
    return *std::find_if(std::begin(kOptions), std::end(kOptions),
                         [&](const OptionSpec& details) { return details.id == option; });
}

std::string UsageText() {
    constexpr size_t kWidth = 80;
    const std::string program = "quellhart-cli ";
    std::string usage;
    for (const CommandSpec& command : kCommands) {
        const std::string head = (usage.empty() ? "usage: " : "       ") + program;
        std::string line = head + command.name + " " + command.files;
        const std::string indent(head.size() + std::string(command.name).size() + 1, ' ');
        for (const Option option : command.options) {
            const OptionSpec& details = Details(option);
            const std::string item = std::string(" [") + details.name +
                                     (details.value ? std::string(" ") + details.value : "") + "]" +
                                     (option == Option::kGlobal ? "..." : "");
            if (line.size() + item.size() > kWidth) {
                usage += line + "\n";
                line = indent.substr(1);
            }
            line += item;
        }
        usage += line + "\n";
    }
    return usage + "       " + program + "--help | --version\n";
}

Request ParseCommandLine(const std::vector<std::string>& args) {
    Request request;
    if (args.empty()) throw UsageError("no command given");
    if (args.size() == 1 && (args[0] == "--help" || args[0] == "-h" || args[0] == "--version")) {
        request.command = args[0] == "--version" ? "version" : "help";
        return request;
    }
    const auto command = std::find_if(std::begin(kCommands), std::end(kCommands),
                                      [&](const CommandSpec& c) { return args[0] == c.name; });
    if (command == std::end(kCommands)) throw UsageError("unknown command '" + args[0] + "'");
    request.command = command->name;

    bool optionsEnded = false;
    for (size_t i = 1; i < args.size(); ++i) {
        const std::string& arg = args[i];
        // After "--" every argument is a file, "-x.ess" too, as in the editor.
        if (optionsEnded) {
            request.files.push_back(arg);
            continue;
        }
        if (arg == "--") {
            optionsEnded = true;
            continue;
        }
        const auto option = std::find_if(command->options.begin(), command->options.end(),
                                         [&](Option o) { return arg == Details(o).name; });
        if (option != command->options.end()) {
            const OptionSpec& details = Details(*option);
            if (details.value && i + 1 >= args.size()) throw UsageError(arg + " needs a value");
            Store(request, *option, details.value ? args[++i] : std::string());
        } else if (arg.size() > 1 && arg[0] == '-') {
            throw UsageError("unknown option '" + arg + "' for " + request.command);
        } else {
            request.files.push_back(arg);
        }
    }
    if (int(request.files.size()) != command->fileCount)
        throw UsageError(request.command + " takes " + std::to_string(command->fileCount) +
                         (command->fileCount == 1 ? " file" : " files"));
    // A set that names nothing to change would still rewrite the save, and push the
    // backup out among the versions: a mistake in a script, said as such.
    if (command->id == Command::kSet && !request.name && !request.race && !request.cls &&
        !request.head && !request.hair && request.globals.empty())
        throw UsageError(
            "set needs something to change: --name, --race, --class, --head, "
            "--hair or --global");
    return request;
}

}  // namespace quellhart::cli
