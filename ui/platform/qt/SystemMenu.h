// Private to the Qt implementation. The window's system menu, a popup of our own
// since Qt leaves the title bar's menu to the window manager. It opens with Alt+Space
// and with a right click on the window's background.
#pragma once

#include <QMenu>
#include <functional>
#include <string>

#include "ui/platform/CDialog.h"

namespace quellhart::ui {

class SystemMenu : public CMenu {
public:
    // `onCommand` receives the id of the chosen item.
    SystemMenu(QWidget* window, std::function<void(unsigned)> onCommand);

    BOOL AppendMenu(unsigned flags, unsigned id = 0, const std::string& text = {}) override;
    QMenu* Menu() { return &menu_; }
    void Popup(const QPoint& globalPosition);

private:
    QMenu menu_;
    std::function<void(unsigned)> onCommand_;
};

}  // namespace quellhart::ui
