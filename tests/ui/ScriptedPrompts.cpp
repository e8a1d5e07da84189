#include "tests/ui/ScriptedPrompts.h"

#include <utility>

namespace quellhart::ui {

int ScriptedPrompts::MessageBox(WindowHandle, const std::string& text, const std::string& caption,
                                unsigned type, const std::string& details) {
    messages.push_back({text, caption, type, details});
    if (whileShown) whileShown(messages.back());
    const int fallback = (type & MB_TYPEMASK) == MB_YESNO ? IDYES : IDOK;
    if (messageAnswers.empty()) return fallback;
    const int answer = messageAnswers.front();
    messageAnswers.pop_front();
    return answer;
}

std::optional<ChosenFile> ScriptedPrompts::OpenFile(WindowHandle, const FileDialogRequest& request,
                                                    std::string& failure) {
    fileDialogs.push_back(request);
    failure = std::exchange(fileDialogFailure, {});
    if (!failure.empty()) return std::nullopt;
    if (fileAnswers.empty()) return std::nullopt;
    std::optional<ChosenFile> answer = fileAnswers.front();
    fileAnswers.pop_front();
    return answer;
}

}  // namespace quellhart::ui
