#include <QDialog>
#include <QHBoxLayout>
#include <QPointer>
#include <QPushButton>
#include <QTextEdit>
#include <QVBoxLayout>

#include "ui/platform/HelpWindow.h"
#include "ui/platform/qt/QtWindows.h"

namespace quellhart::ui {

struct NativeHelpWindow {
    QPointer<QDialog> window;  // a child of its owner, and gone with it
};

HelpWindow::HelpWindow(WindowHandle owner, const std::string& title, const std::string& html,
                       std::vector<HelpButton> buttons)
    : native_(std::make_unique<NativeHelpWindow>()) {
    auto* window = new QDialog(ToWidget(owner));
    native_->window = window;
    window->setWindowTitle(QString::fromStdString(title));
    // A read-only text field, which a screen reader reads as text (Qt describes a text
    // browser as a label, read at once and not line by line).
    auto* text = new QTextEdit(window);
    text->setReadOnly(true);
    text->setHtml(QString::fromStdString(html));
    text->setAccessibleName(QString::fromStdString(title));
    // A caret the arrows move, so that a screen reader reads the text line by line
    // (read-only, the text still passes Tab on to the buttons).
    text->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    text->setTabChangesFocus(true);

    // Tab goes from the text through the buttons in the order they are shown, Close
    // last.
    auto* row = new QHBoxLayout;
    QWidget* previous = text;
    const auto addButton = [&](const QString& label) {
        auto* push = new QPushButton(label, window);
        // Enter presses the button the keyboard is on, as on Windows: an auto-default
        // button is the default while it has the focus, and only then.
        push->setAutoDefault(true);
        row->addWidget(push);
        QWidget::setTabOrder(previous, push);
        previous = push;
        return push;
    };
    for (HelpButton& button : buttons)
        QObject::connect(addButton(QString::fromStdString(button.text)), &QPushButton::clicked,
                         window, std::move(button.onClick));
    row->addStretch();
    QObject::connect(addButton(QDialog::tr("Close")), &QPushButton::clicked, window,
                     &QDialog::close);

    auto* layout = new QVBoxLayout(window);
    layout->addWidget(text);
    layout->addLayout(row);
    window->resize(540, 560);
}

HelpWindow::~HelpWindow() { delete native_->window; }

void HelpWindow::Show() {
    QDialog* window = native_->window;
    if (!window) return;
    window->show();
    window->raise();
    window->activateWindow();
}

WindowHandle HelpWindow::Handle() const {
    return native_->window ? HandleOf(native_->window) : nullptr;
}

}  // namespace quellhart::ui
