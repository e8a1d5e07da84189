#include "cli/Commands.h"

#include <iostream>

#include "cli/SaveReport.h"
#include "codepage/CodePageChoice.h"
#include "res/QuellhartVersion.h"
#include "savefile/SaveHistory.h"

namespace quellhart::cli {

bool Confirm(const std::string& question, const Request& request, Console& console) {
    if (request.yes) return true;
    if (!console.inputIsTerminal) {
        console.err << "Not confirmed: standard input is not a terminal (use --yes).\n";
        return false;
    }
    console.err << ForTerminalLines(question) << " [y/N] " << std::flush;
    std::string answer;
    std::getline(console.in, answer);
    return answer == "y" || answer == "Y" || answer == "yes" || answer == "Yes";
}

std::optional<int> HistoryKeep(const Request& request, Console& console) {
    if (request.keep) return request.keep;
    std::string problem;
    const int keep = HistoryKeepFromEnvironment(&problem);
    if (problem.empty()) return keep;
    console.err << "quellhart-cli: " << problem << "\n";
    return std::nullopt;
}

int ExitCodeAfterOutputFailure(const std::vector<std::string>& args, int code) {
    const std::string command = args.empty() ? "" : args[0];
    if (command == "set" || command == "restore") return code;
    if (command == "diff") return kDiffTrouble;
    return code == kExitOk ? kExitError : code;
}

int Run(const std::vector<std::string>& args, Console& console) {
    Request request;
    try {
        request = ParseCommandLine(args);
    } catch (const UsageError& error) {
        console.err << "quellhart-cli: " << error.what() << "\n" << UsageText();
        return kExitUsage;
    }
    // The save's texts are read and written in one code page, chosen before anything
    // is read.
    const CodePageChoice codePage = ChooseCodePage(request.codePage);
    if (request.command == "help") {
        console.out << UsageText() << "\n"
                    << CodePageSentence(codePage)
                    << "\nAnother code page: --code-page N, or QUELLHART_CODE_PAGE=N.\n";
        return kExitOk;
    }
    if (!codePage.codePage) {
        console.err << "quellhart-cli: " << codePage.error << "\n" << UsageText();
        return kExitUsage;
    }
    UseSaveTextCodePage(*codePage.codePage, DescribeCodePage(codePage));
    if (request.command == "version") {
        console.out << "quellhart-cli " << version::kProductVersion << " (" << version::kProductName
                    << ")\n";
        return kExitOk;
    }
    if (request.command == "show") return RunShow(request, console);
    if (request.command == "set") return RunSet(request, console);
    if (request.command == "restore") return RunRestore(request, console);
    if (request.command == "diff") return RunDiff(request, console);
    if (request.command == "history") return RunHistory(request, console);
    return kExitUsage;  // the parser knows no other command
}

}  // namespace quellhart::cli
