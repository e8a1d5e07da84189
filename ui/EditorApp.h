// The application object: runs the main window as a modal dialog, whose own message
// loop is the program's main loop.
#pragma once

#include <QStringList>
#include <optional>
#include <string>

#include "platform/CWinApp.h"
#include "platform/MessageMap.h"

namespace quellhart::ui {

class CEditorApp : public CWinApp {
public:
    CEditorApp();
    BOOL InitInstance() override;
    BOOL OnCmdMsg(int id, int code) override;
    void OnHelp();

    // The file named on the command line, if any; --help and --version answer and end
    // the program there.
    static std::optional<std::string> FileToOpen(const QStringList& arguments);

private:
    static const MessageMap<CEditorApp> kMessageMap;
};

}  // namespace quellhart::ui
