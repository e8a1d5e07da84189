#include "ui/platform/qt/SystemMenu.h"

#include <QShortcut>

#include "ui/platform/qt/SaveText.h"

namespace quellhart::ui {

SystemMenu::SystemMenu(QWidget* window, std::function<void(unsigned)> onCommand)
    : onCommand_(std::move(onCommand)) {
    QAction* close = menu_.addAction(QStringLiteral("&Close"));
    close->setData(SC_CLOSE);
    QObject::connect(&menu_, &QMenu::triggered,
                     [this](QAction* action) { onCommand_(action->data().toUInt()); });
    auto* shortcut = new QShortcut(QKeySequence(Qt::ALT | Qt::Key_Space), window);
    QObject::connect(shortcut, &QShortcut::activated,
                     [this, window] { Popup(window->mapToGlobal(QPoint(0, 0))); });
}

BOOL SystemMenu::AppendMenu(unsigned flags, unsigned id, const std::string& text) {
    if (flags & MF_SEPARATOR)
        menu_.addSeparator();
    else
        menu_.addAction(FromSaveText(text))->setData(id);
    return TRUE;
}

void SystemMenu::Popup(const QPoint& globalPosition) { menu_.popup(globalPosition); }

}  // namespace quellhart::ui
