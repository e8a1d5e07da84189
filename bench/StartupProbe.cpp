// Starts the editor's main window as the program does and prints, once the window
// has been shown and painted, the wall-clock time in seconds; bench/run.sh takes the
// time before the process was started from it.
#include <QApplication>
#include <QDialog>
#include <QTimer>
#include <chrono>
#include <cstdio>

#include "ui/EditorApp.h"
#include "ui/platform/qt/Resources.h"

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    QApplication::setWindowIcon(quellhart::ui::LoadAppIcon());
    quellhart::ui::CEditorApp editor;
    // Runs inside the main window's modal loop, right after its first paint.
    QTimer::singleShot(0, [] {
        QWidget* window = QApplication::activeModalWidget();
        if (window) window->repaint();
        const auto now = std::chrono::system_clock::now().time_since_epoch();
        std::printf("%.6f\n", std::chrono::duration<double>(now).count());
        if (auto* dialog = qobject_cast<QDialog*>(window)) dialog->reject();
    });
    editor.InitInstance();
    return 0;
}
