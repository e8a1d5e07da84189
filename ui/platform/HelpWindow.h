// A modeless window of reading matter beside the main window: a title, a text
// written in simple HTML (headings, paragraphs, tables, code), a row of buttons and
// "Close". Closing only hides it, so it opens again where it was.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "ui/platform/WinTypes.h"

namespace quellhart::ui {

struct NativeHelpWindow;

struct HelpButton {
    std::string text;
    std::function<void()> onClick;
};

class HelpWindow {
public:
    HelpWindow(WindowHandle owner, const std::string& title, const std::string& html,
               std::vector<HelpButton> buttons);
    ~HelpWindow();
    HelpWindow(const HelpWindow&) = delete;
    HelpWindow& operator=(const HelpWindow&) = delete;

    // Shows the window in front, with the focus.
    void Show();
    WindowHandle Handle() const;

private:
    std::unique_ptr<NativeHelpWindow> native_;
};

}  // namespace quellhart::ui
