// The application object: runs the main window as a modal dialog, whose own message
// loop is the program's main loop.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "ui/platform/CWinApp.h"
#include "ui/platform/MessageMap.h"

namespace quellhart::ui {

// What the program's arguments ask for:
// quellhart-editor [--help | --version] [--code-page N] [FILE].
struct EditorCommandLine {
    std::optional<std::string> file;      // a save to open as if chosen in "OpenFile"
    std::optional<std::string> codePage;  // the save texts' code page, as given
    std::string answer;                   // the text for --help, --version or a mistake
    int exitCode = 0;                     // 2 for a mistake, as quellhart-cli's usage errors
};

class CEditorApp : public CWinApp {
public:
    CEditorApp();
    std::optional<int> AnswerBeforeToolkit(const std::vector<std::string>& arguments) override;
    BOOL InitInstance() override;
    BOOL OnCmdMsg(int id, int code) override;
    void OnHelp();

    // `beforeToolkit`: options of one dash other than -h and -v may be the toolkit's,
    // which takes them out of the arguments when it starts; they are left alone.
    static EditorCommandLine ParseCommandLine(const std::vector<std::string>& arguments,
                                              bool beforeToolkit = false);

private:
    static const MessageMap<CEditorApp> kMessageMap;
};

}  // namespace quellhart::ui
