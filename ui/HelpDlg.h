// The help window: what the pages show and how to edit them, what a commit writes,
// the keys and the command-line companion, with the About box, the backup restore and
// the earlier versions a click away. Modeless, so that it can stay open beside the main window.
#pragma once

#include <functional>
#include <string>

#include "ui/platform/HelpWindow.h"

namespace quellhart::ui {

class CHelpDlg : public HelpWindow {
public:
    // `onAbout`, `onRestore`, `onVersions` and `onReload` are what its four buttons do.
    CHelpDlg(WindowHandle owner, std::function<void()> onAbout, std::function<void()> onRestore,
             std::function<void()> onVersions, std::function<void()> onReload);

    // The help text as shown, with the table of keys filled in.
    static std::string Html();
};

}  // namespace quellhart::ui
