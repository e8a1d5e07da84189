// Every command and option of quellhart-cli, once. The parser reads its command line
// by this table, and --help, the manual page and the shell completion are written
// from it, so none of them can drift from what the program accepts.
#pragma once

#include <array>
#include <span>
#include <string>

namespace quellhart::cli {

enum class Option {
    kJson,
    kYes,
    kName,
    kRace,
    kClass,
    kHead,
    kHair,
    kGlobal,
    kCodePage,
    kKeep,
    kVersion,
};

struct OptionSpec {
    Option id;
    const char* name;
    const char* value;  // what follows it, or nullptr for a switch
    const char* description;
};

inline constexpr OptionSpec kOptions[] = {
    {Option::kName, "--name", "TEXT", "the player character's name"},
    {Option::kRace, "--race", "TEXT", "the player's race identifier"},
    {Option::kClass, "--class", "TEXT", "the player's class identifier"},
    {Option::kHead, "--head", "TEXT", "the head model identifier"},
    {Option::kHair, "--hair", "TEXT", "the hair model identifier"},
    {Option::kGlobal, "--global", "NAME=VALUE",
     "a global variable's new value, a decimal number; may be given more than once"},
    {Option::kYes, "--yes", nullptr, "answer yes to every question, for scripts"},
    {Option::kJson, "--json", nullptr, "print JSON instead of text"},
    {Option::kCodePage, "--code-page", "N",
     "read and write the save's texts in Windows code page N (874, 1250 to 1258) instead of the "
     "system's; QUELLHART_CODE_PAGE=N does the same"},
    {Option::kKeep, "--keep", "N",
     "keep the N most recent earlier versions of the save besides the original (20 unless "
     "QUELLHART_HISTORY_KEEP=N says otherwise); 0 keeps none"},
    {Option::kVersion, "--version", "N",
     "with restore: put back version N of the save, as history numbers them, instead of the "
     "backup"},
};

enum class Command { kShow, kSet, kRestore, kDiff, kHistory };

struct CommandSpec {
    Command id;
    const char* name;
    const char* files;  // the file arguments, as the usage names them
    int fileCount;
    std::span<const Option> options;
    const char* description;
};

namespace options {
inline constexpr Option kShow[] = {Option::kJson, Option::kCodePage};
inline constexpr Option kSet[] = {Option::kName,     Option::kRace,   Option::kClass, Option::kHead,
                                  Option::kHair,     Option::kGlobal, Option::kYes,   Option::kJson,
                                  Option::kCodePage, Option::kKeep};
inline constexpr Option kRestore[] = {Option::kVersion, Option::kYes, Option::kCodePage,
                                      Option::kKeep};
inline constexpr Option kDiff[] = {Option::kJson, Option::kCodePage};
inline constexpr Option kHistory[] = {Option::kJson, Option::kCodePage};
}  // namespace options

inline constexpr CommandSpec kCommands[] = {
    {Command::kShow, "show", "FILE", 1, options::kShow,
     "print the player record and every global variable of a save"},
    {Command::kSet, "set", "FILE", 1, options::kSet,
     "change the player's texts and global values, writing the save as the editor does: "
     "the old save is kept as FILE's .bak, and the previous backup among its versions"},
    {Command::kRestore, "restore", "FILE", 1, options::kRestore,
     "swap a save and its backup (.bak); a second restore undoes the first. With --version N, "
     "make that earlier version the save, keeping the save it replaces as a version"},
    {Command::kDiff, "diff", "OLD NEW", 2, options::kDiff,
     "compare two saves; exit 0 when they are the same, 1 when they differ, 2 on trouble"},
    {Command::kHistory, "history", "FILE", 1, options::kHistory,
     "list the earlier versions of a save kept beside it (FILE's .history folder, then the "
     ".bak), oldest first: number, time, size, and what changed from each to the next"},
};

const OptionSpec& Details(Option option);

// The usage, one line per command, as --help and a usage error print it.
std::string UsageText();

}  // namespace quellhart::cli
