// A file dragged from a file manager and dropped on a window: the window takes the
// first local file among what is dropped.
#pragma once

#include <functional>
#include <string>

class QWidget;

namespace quellhart::ui {

void AcceptFileDrops(QWidget* window, std::function<void(const std::string& path)> open);

}  // namespace quellhart::ui
