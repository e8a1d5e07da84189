// Command routing as tables: each window lists which control's notification goes to
// which of its handlers, the way the framework's message maps do, so that a test can
// send the command a click sends.
#pragma once

#include <vector>

namespace quellhart::ui {

template <typename Window>
struct CommandEntry {
    int id;
    int code;
    void (Window::*handler)();
};

template <typename Window>
using MessageMap = std::vector<CommandEntry<Window>>;

// Calls the handler the table has for (id, code); false when it has none.
template <typename Window>
bool DispatchCommand(const MessageMap<Window>& map, Window* window, int id, int code) {
    for (const CommandEntry<Window>& entry : map) {
        if (entry.id == id && entry.code == code) {
            (window->*entry.handler)();
            return true;
        }
    }
    return false;
}

}  // namespace quellhart::ui
