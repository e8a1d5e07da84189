// Long work that must not freeze the windows: the commit of a large save, with its
// syncs, can take seconds. The work runs on a thread of its own while this thread
// keeps the windows painted and the accessibility bridge answering (a screen reader
// then hears the wait box), taking no user input until the work is done: clicks and
// keys wait, as they did while the program was busy.
#pragma once

#include <functional>

namespace quellhart::ui {

// Returns when `work` has run; an exception it throws is thrown here.
void RunKeepingWindowsAlive(const std::function<void()>& work);

}  // namespace quellhart::ui
