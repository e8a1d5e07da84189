// The commands of quellhart-cli. Each takes the parsed request and the program's
// streams and returns the exit code, so tests run them in-process.
#pragma once

#include <iosfwd>
#include <optional>
#include <string>
#include <vector>

#include "cli/CommandLine.h"
#include "savefile/SaveGame.h"

namespace quellhart::cli {

enum ExitCode { kExitOk = 0, kExitError = 1, kExitUsage = 2, kExitDeclined = 3 };
// diff's codes, as diff(1) has them.
enum DiffExitCode { kDiffSame = 0, kDiffDiffers = 1, kDiffTrouble = 2 };

struct Console {
    std::istream& in;
    std::ostream& out;
    std::ostream& err;
    bool inputIsTerminal;
    // The files the commands work on; tests pass one that fails on demand.
    FileSystem& files = SystemFileSystem();
};

int Run(const std::vector<std::string>& args, Console& console);

// The exit code of a command whose report could not be written to standard output (a
// closed pipe, a full disk), having returned `code`: set and restore still say what
// happened to the files, or a script would retry and undo or repeat what was done;
// diff says trouble (2), as diff(1) does; the others that they failed.
int ExitCodeAfterOutputFailure(const std::vector<std::string>& args, int code);

int RunShow(const Request& request, Console& console);
int RunSet(const Request& request, Console& console);
int RunRestore(const Request& request, Console& console);
int RunDiff(const Request& request, Console& console);
int RunHistory(const Request& request, Console& console);

// How many earlier versions a commit or a restore keeps: --keep, else
// QUELLHART_HISTORY_KEEP, else the default; nothing, said on standard error, when the
// variable holds no such number.
std::optional<int> HistoryKeep(const Request& request, Console& console);

// Reading opens any file name and deletes or creates nothing; editing opens as the
// editor does, and only a name with ".ess".
enum class OpenFor { kReading, kEditing };

// Opens and loads `file`; on failure prints the document's error on standard error.
bool OpenAndLoad(CSaveGame& save, const std::string& file, Console& console, OpenFor purpose);

// Asks `question` on the terminal; --yes answers yes. Without --yes and without a
// terminal the answer is no.
bool Confirm(const std::string& question, const Request& request, Console& console);

}  // namespace quellhart::cli
