#include "ui/EditorApp.h"

#include "codepage/CodePageChoice.h"
#include "platform/Application.h"
#include "res/QuellhartVersion.h"
#include "ui/MainDlg.h"

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

EditorCommandLine CEditorApp::ParseCommandLine(const std::vector<std::string>& arguments) {
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
    EditorCommandLine result;
    bool optionsEnd = false;
    for (size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        if (!optionsEnd && argument == "--code-page") {
            if (i + 1 == arguments.size())
                return {std::nullopt, std::nullopt, "--code-page needs a number.\n\n" + kUsage};
            result.codePage = arguments[++i];
        } else if (!optionsEnd && argument == "--") {
            optionsEnd = true;
        } else if (!optionsEnd && (argument == "-h" || argument == "--help")) {
            const CodePageChoice codePage = ChooseCodePage(result.codePage);
            return {std::nullopt, std::nullopt,
                    kUsage + "\n" +
                        (codePage.codePage ? "Save texts are read and written as " +
                                                 DescribeCodePage(codePage) + ".\n"
                                           : codePage.error + ".\n")};
        } else if (!optionsEnd && (argument == "-v" || argument == "--version")) {
            std::string answer = version::kInternalName;
            answer += ' ';
            answer += version::kProductVersion;
            answer += '\n';
            return {std::nullopt, std::nullopt, answer};
        } else if (!optionsEnd && argument.size() > 1 && argument[0] == '-') {
            std::string answer = "Unknown option '";
            answer += argument;
            answer += "'.\n\n";
            answer += kUsage;
            return {std::nullopt, std::nullopt, answer};
        } else if (!result.file) {
            result.file = argument;
        }
    }
    return result;
}

// The application has done its work when the main window has closed.
BOOL CEditorApp::InitInstance() {
    const EditorCommandLine commandLine = ParseCommandLine(m_arguments);
    if (!commandLine.answer.empty()) {
        ShowCommandLineText(commandLine.answer);
        return FALSE;
    }
    const CodePageChoice codePage = ChooseCodePage(commandLine.codePage);
    if (!codePage.codePage) {
        ShowCommandLineText(codePage.error + ".\n");
        return FALSE;
    }
    UseSaveTextCodePage(*codePage.codePage, DescribeCodePage(codePage));
    CMainDlg dialog(nullptr);
    if (commandLine.file) dialog.OpenAtStart(*commandLine.file);
    m_pMainWnd = &dialog;
    dialog.DoModal();
    m_pMainWnd = nullptr;
    return FALSE;
}

}  // namespace quellhart::ui
