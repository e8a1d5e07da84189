// The window's system menu, a popup of our own since Qt leaves the title bar's menu
// to the window manager. It opens with Alt+Space and with a right click on the
// window's background.
#pragma once

#include <QMenu>
#include <functional>
#include <string>

namespace quellhart::ui {

inline constexpr unsigned MF_STRING = 0x0000;
inline constexpr unsigned MF_SEPARATOR = 0x0800;

class SystemMenu {
public:
    // `onCommand` receives the id of the chosen item.
    SystemMenu(QWidget* window, std::function<void(unsigned)> onCommand);

    // Appends a separator, or a text item (Windows-1252, "&" marks the mnemonic).
    void AppendMenu(unsigned flags, unsigned id = 0, const std::string& text = {});
    QMenu* Menu() { return &menu_; }
    void Popup(const QPoint& globalPosition);

private:
    QMenu menu_;
    std::function<void(unsigned)> onCommand_;
};

}  // namespace quellhart::ui
