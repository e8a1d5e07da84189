// The application object: one per program, found through Current(). Commands that no
// window handles reach its table; the help command is the one the editor routes here.
// The toolkit's start-up code makes the program's arguments known and calls
// InitInstance.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "ui/platform/WinTypes.h"

namespace quellhart::ui {

class CDialog;

class CWinApp {
public:
    explicit CWinApp(const char* appName = nullptr);
    virtual ~CWinApp();
    CWinApp(const CWinApp&) = delete;
    CWinApp& operator=(const CWinApp&) = delete;

    static CWinApp* Current();

    // Answers what the arguments ask that needs no window (--help, --version, a
    // mistake) before the toolkit starts, so that it needs no display either: the exit
    // code, or none when the program goes on. Options the toolkit takes are left to it.
    virtual std::optional<int> AnswerBeforeToolkit(const std::vector<std::string>&) {
        return std::nullopt;
    }
    virtual BOOL InitInstance() { return FALSE; }
    virtual BOOL OnCmdMsg(int id, int code);

    CDialog* m_pMainWnd = nullptr;
    // The program's arguments after its own name, in the file system's encoding.
    std::vector<std::string> m_arguments;
    // The program's exit code once InitInstance has returned FALSE.
    int m_exitCode = 0;

    // The help command. The program carries no help content, so it says so.
    void OnHelp();

private:
    std::string AppName() const;

    std::string appName_;
};

// The help engine: HELP_QUIT closes help the program opened; there is none.
void WinHelp(unsigned long data, unsigned command);

}  // namespace quellhart::ui
