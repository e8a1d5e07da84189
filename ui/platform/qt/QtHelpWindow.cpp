#include <QDialog>
#include <QDialogButtonBox>
#include <QPointer>
#include <QPushButton>
#include <QTextBrowser>
#include <QVBoxLayout>

#include "platform/HelpWindow.h"
#include "platform/qt/QtWindows.h"

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
    auto* text = new QTextBrowser(window);
    text->setHtml(QString::fromStdString(html));
    text->setOpenLinks(false);
    text->setAccessibleName(QString::fromStdString(title));

    auto* box = new QDialogButtonBox(QDialogButtonBox::Close, window);
    for (HelpButton& button : buttons) {
        QPushButton* push =
            box->addButton(QString::fromStdString(button.text), QDialogButtonBox::ActionRole);
        QObject::connect(push, &QPushButton::clicked, window, std::move(button.onClick));
    }
    QObject::connect(box, &QDialogButtonBox::rejected, window, &QDialog::close);

    auto* layout = new QVBoxLayout(window);
    layout->addWidget(text);
    layout->addWidget(box);
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
