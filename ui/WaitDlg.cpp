#include "ui/WaitDlg.h"

#include <QCoreApplication>
#include <QDialog>

#include "res/DialogTemplates.h"

namespace quellhart::ui {

CWaitDlg::CWaitDlg() : CDialog(res::WaitTemplate(), nullptr) {}

BOOL CWaitDlg::Create(QWidget* parent) {
    const BOOL created = CDialog::Create(parent);
    Window()->raise();
    Window()->activateWindow();
    // Painting needs the window mapped first; user input stays queued.
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    Window()->repaint();
    return created;
}

}  // namespace quellhart::ui
