// The application object: runs the main window as a modal dialog, whose own message
// loop is the program's main loop.
#pragma once

#include "platform/CWinApp.h"
#include "platform/MessageMap.h"

namespace quellhart::ui {

class CEditorApp : public CWinApp {
public:
    CEditorApp();
    BOOL InitInstance() override;
    BOOL OnCmdMsg(int id, int code) override;

private:
    static const MessageMap<CEditorApp> kMessageMap;
};

}  // namespace quellhart::ui
