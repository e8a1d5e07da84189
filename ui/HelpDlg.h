// The help window: what the pages show and how to edit them, what a commit writes,
// the keys and the command-line companion, with the About box and the backup restore
// a click away. Modeless, so that it can stay open beside the main window.
#pragma once

#include <QDialog>
#include <functional>

namespace quellhart::ui {

class CHelpDlg : public QDialog {
public:
    // `onAbout` and `onRestore` are what its two buttons do.
    CHelpDlg(QWidget* parent, std::function<void()> onAbout, std::function<void()> onRestore);
};

}  // namespace quellhart::ui
