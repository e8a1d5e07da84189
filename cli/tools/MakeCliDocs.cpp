// Writes quellhart-cli's manual page and its bash completion from the command table.
//   make-cli-docs MAN_PAGE_FILE BASH_COMPLETION_FILE
#include <fstream>
#include <set>
#include <sstream>
#include <string>

#include "cli/CommandTable.h"
#include "res/QuellhartVersion.h"

using namespace quellhart::cli;

namespace {

// Text set in the manual page's own markup: a leading full stop or apostrophe would
// read as a request, a backslash as an escape, a hyphen may become a dash.
std::string Roff(const std::string& text) {
    std::string out;
    for (char c : text) {
        if (c == '\\')
            out += "\\e";
        else if (c == '-')
            out += "\\-";
        else
            out += c;
    }
    if (!out.empty() && (out[0] == '.' || out[0] == '\'')) out.insert(0, "\\&");
    return out;
}

std::string ManPage() {
    std::ostringstream man;
    man << ".TH QUELLHART\\-CLI 1 \"\" \"" << quellhart::version::kProductVersion << "\" \""
        << quellhart::version::kProductName << "\"\n";
    man << ".SH NAME\nquellhart\\-cli \\- show, change, restore and compare Quellhart saved "
           "games\n";
    man << ".SH SYNOPSIS\n.nf\n";
    // The usage's lines, each command from the margin and its continuation indented.
    std::istringstream usage(UsageText().substr(std::string("usage: ").size()));
    for (std::string line; std::getline(usage, line);) {
        const size_t text = line.find_first_not_of(' ');
        const bool continuation = line.compare(text, 13, "quellhart-cli") != 0;
        man << (continuation ? "    " : "") << Roff(line.substr(text)) << "\n";
    }
    man << ".fi\n";
    man << ".SH DESCRIPTION\n"
           "The command\\-line companion of the Quellhart Savegame Editor works on one saved "
           "game (.ess) through the same save document as the editor window, with the same "
           "checks and the same messages. A save keeps its texts in the code page of the "
           "Windows the game ran on; the program reads and writes them in the system's "
           "(on Windows its ANSI code page, elsewhere the one Windows gives the language of "
           "the locale: LC_ALL, LC_CTYPE, LANG), or in the one given with \\-\\-code\\-page "
           "or QUELLHART_CODE_PAGE, and reads and prints UTF\\-8. \\-\\- ends the options: "
           "every argument after it is a file.\n"
           ".PP\nWith \\-\\-json, show, diff and history print one JSON object; its "
           "fields are described in json.md beside this program's documentation "
           "(/usr/share/doc/quellhart\\-editor/json.md).\n";
    man << ".SH COMMANDS\n";
    for (const CommandSpec& command : kCommands) {
        man << ".TP\n.B " << command.name << " " << Roff(command.files) << "\n"
            << Roff(command.description) << ".\n";
    }
    man << ".SH OPTIONS\n";
    for (const OptionSpec& option : kOptions) {
        man << ".TP\n.BR " << Roff(option.name);
        if (option.value) man << " \" " << Roff(option.value) << "\"";
        man << "\n" << Roff(option.description) << ".\n";
    }
    // Alone, in place of a command, --version asks for the program's own version; the
    // option above with its number belongs to restore. Said apart, so neither reads as
    // the other.
    man << ".SS Alone, in place of a command\n"
        << ".TP\n.B \\-\\-help\nprint the usage and end.\n"
        << ".TP\n.B \\-\\-version\nprint the program's version and end.\n";
    man << ".SH EXIT STATUS\n"
           ".TP\n.B 0\ndone; for set and restore: the save was replaced, also when reading "
           "it back afterwards failed, which is then said on standard error; for set, also "
           "when the save already held what was asked and nothing was written.\n"
           ".TP\n.B 1\nnot done; the save's own error is on standard error.\n"
           ".TP\n.B 2\na usage error.\n"
           ".TP\n.B 3\na question was not answered yes.\n"
           ".PP\ndiff exits 0 when the saves are the same, 1 when they differ, 2 on trouble.\n";
    man << ".SH FILES\n"
           ".TP\n.I NAME.bak\nthe backup: the save before the last set, or the save "
           "that restore swapped out.\n"
           ".TP\n.I NAME.history/\nthe earlier versions of the save: the backup each set "
           "replaced, the 20 newest and the original (QUELLHART_HISTORY_KEEP=N or \\-\\-keep N "
           "keeps N, 0 none), each a whole save named for the time it was written.\n"
           ".TP\n.I NAME.out\nthe new save while set writes it. A crash in the middle can "
           "leave it behind; the next time the save is opened (by set, restore or the "
           "editor), the interrupted commit is finished from it, or it is removed.\n";
    man << ".SH SEE ALSO\n.BR quellhart\\-editor (1)\n";
    return man.str();
}

std::string BashCompletion() {
    std::ostringstream bash;
    bash << "# bash completion for quellhart-cli, written from its command table.\n"
            "_quellhart_cli() {\n"
            "    local cur=${COMP_WORDS[COMP_CWORD]} prev=${COMP_WORDS[COMP_CWORD-1]}\n"
            "    if [ \"$COMP_CWORD\" -eq 1 ]; then\n"
            "        COMPREPLY=($(compgen -W \"";
    for (const CommandSpec& command : kCommands) bash << command.name << " ";
    bash << "--help --version\" -- \"$cur\"))\n"
            "        return\n"
            "    fi\n"
            "    case $prev in\n";
    std::set<std::string> takingText;
    for (const OptionSpec& option : kOptions)
        if (option.value) takingText.insert(option.name);
    bash << "        ";
    for (auto it = takingText.begin(); it != takingText.end(); ++it)
        bash << (it == takingText.begin() ? "" : "|") << *it;
    bash << ") return ;;\n"
            "    esac\n"
            "    local options\n"
            "    case ${COMP_WORDS[1]} in\n";
    for (const CommandSpec& command : kCommands) {
        bash << "        " << command.name << ") options=\"";
        for (size_t i = 0; i < command.options.size(); ++i)
            bash << (i ? " " : "") << Details(command.options[i]).name;
        bash << "\" ;;\n";
    }
    bash << "        *) return ;;\n"
            "    esac\n"
            "    if [[ $cur == -* ]]; then\n"
            "        COMPREPLY=($(compgen -W \"$options\" -- \"$cur\"))\n"
            "    else\n"
            // One file name a line, each read whole: a name with spaces or other
            // characters of the shell's stays one word.
            // Each extension on its own, which needs no extglob.
            "        mapfile -t COMPREPLY < <(compgen -f -X '!*.ess' -- \"$cur\"; "
            "compgen -f -X '!*.bak' -- \"$cur\"; compgen -d -- \"$cur\")\n"
            "    fi\n"
            "}\n"
            "complete -o filenames -F _quellhart_cli quellhart-cli\n";
    return bash.str();
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) return 2;
    std::ofstream(argv[1]) << ManPage();
    std::ofstream(argv[2]) << BashCompletion();
    return 0;
}
