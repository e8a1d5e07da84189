#include "ui/EditorApp.h"

#include "codepage/CodePageChoice.h"
#include "res/QuellhartVersion.h"
#include "ui/MainDlg.h"
#include "ui/platform/Application.h"

namespace quellhart::ui {

const MessageMap<CEditorApp> CEditorApp::kMessageMap = {
    {ID_HELP, BN_CLICKED, &CEditorApp::OnHelp},
};

CEditorApp::CEditorApp() : CWinApp(nullptr) {}

BOOL CEditorApp::OnCmdMsg(int id, int code) {
    return DispatchCommand(kMessageMap, this, id, code) ? TRUE : CWinApp::OnCmdMsg(id, code);
}

// The help command shows the editor's help window beside its main window.
void CEditorApp::OnHelp() {
    if (auto* main = dynamic_cast<CMainDlg*>(m_pMainWnd))
        main->ShowHelp();
    else
        CWinApp::OnHelp();
}

EditorCommandLine CEditorApp::ParseCommandLine(const std::vector<std::string>& arguments,
                                               bool beforeToolkit) {
    static const std::string kUsage =
        "Usage: quellhart-editor [options] [FILE]\n"
        "Edit a Quellhart saved game.\n\n"
        "Options:\n"
        "  -h, --help       Displays help on commandline options.\n"
        "  -v, --version    Displays version information.\n"
        "  --code-page N    Reads and writes the save's texts in Windows code page N\n"
        "                   (874, 1250 to 1258) instead of the system's;\n"
        "                   QUELLHART_CODE_PAGE=N does the same.\n\n"
        "Arguments:\n"
        "  FILE           the save to open\n";
    const auto mistake = [](const std::string& what) {
        return EditorCommandLine{std::nullopt, std::nullopt, what + "\n\n" + kUsage, 2};
    };
    EditorCommandLine result;
    bool optionsEnd = false;
    for (size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        if (optionsEnd || argument.size() < 2 || argument[0] != '-') {
            if (!result.file) result.file = argument;
        } else if (argument == "--") {
            optionsEnd = true;
        } else if (argument == "--code-page") {
            if (i + 1 == arguments.size()) return mistake("--code-page needs a number.");
            result.codePage = arguments[++i];
        } else if (argument == "-h" || argument == "--help") {
            return {std::nullopt, std::nullopt,
                    kUsage + "\n" + CodePageSentence(ChooseCodePage(result.codePage)) + "\n"};
        } else if (argument == "-v" || argument == "--version") {
            return {std::nullopt, std::nullopt,
                    std::string(version::kInternalName) + ' ' + version::kProductVersion + '\n'};
        } else if (!beforeToolkit || argument[1] == '-') {
            return mistake("Unknown option '" + argument + "'.");
        }
    }
    // A wrong QUELLHART_CODE_PAGE is no mistake in the command line: the usage would
    // only hide what is wrong (and in a box its columns do not hold).
    if (const CodePageChoice codePage = ChooseCodePage(result.codePage); !codePage.codePage) {
        if (result.codePage) return mistake(codePage.error + ".");
        return {std::nullopt, std::nullopt, codePage.error + ".\n", 2};
    }
    return result;
}

std::optional<int> CEditorApp::AnswerBeforeToolkit(const std::vector<std::string>& arguments) {
    const EditorCommandLine commandLine = ParseCommandLine(arguments, true);
    if (commandLine.answer.empty()) return std::nullopt;
    ShowCommandLineText(commandLine.answer, commandLine.exitCode != 0);
    return commandLine.exitCode;
}

// The application has done its work when the main window has closed.
BOOL CEditorApp::InitInstance() {
    const EditorCommandLine commandLine = ParseCommandLine(m_arguments);
    if (!commandLine.answer.empty()) {
        ShowCommandLineText(commandLine.answer, commandLine.exitCode != 0);
        m_exitCode = commandLine.exitCode;
        return FALSE;
    }
    const CodePageChoice codePage = ChooseCodePage(commandLine.codePage);
    UseSaveTextCodePage(*codePage.codePage, DescribeCodePage(codePage));
    CMainDlg dialog(nullptr);
    if (commandLine.file) dialog.OpenAtStart(*commandLine.file);
    m_pMainWnd = &dialog;
    dialog.DoModal();
    m_pMainWnd = nullptr;
    return FALSE;
}

}  // namespace quellhart::ui
