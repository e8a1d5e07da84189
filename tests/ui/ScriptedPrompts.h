// The prompts the window tests install: they answer from queues and record every
// call, so that no test ever blocks on a modal box.
#pragma once

#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "ui/platform/Prompts.h"

namespace quellhart::ui {

class ScriptedPrompts : public Prompts {
public:
    struct MessageCall {
        std::string text, caption;
        unsigned type;
        std::string details;
    };
    std::deque<int> messageAnswers;                     // empty: OK or Yes
    std::deque<std::optional<ChosenFile>> fileAnswers;  // empty: cancelled
    std::string fileDialogFailure;                      // the next file dialog fails so, once
    std::vector<MessageCall> messages;
    std::vector<FileDialogRequest> fileDialogs;
    // What the user does while a message box is open, before answering it.
    std::function<void(const MessageCall&)> whileShown;

    int MessageBox(WindowHandle owner, const std::string& text, const std::string& caption,
                   unsigned type, const std::string& details) override;
    std::optional<ChosenFile> OpenFile(WindowHandle owner, const FileDialogRequest& request,
                                       std::string& failure) override;
};

}  // namespace quellhart::ui
