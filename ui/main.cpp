// quellhart-editor: the Quellhart savegame editor window.
#include <QApplication>

#include "platform/Resources.h"
#include "res/QuellhartVersion.h"
#include "ui/EditorApp.h"

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    // No display name: the window system would append it to every window's title,
    // and each window's title is exactly its caption.
    QApplication::setApplicationName(QString::fromUtf8(quellhart::version::kInternalName));
    QApplication::setApplicationVersion(QString::fromUtf8(quellhart::version::kProductVersion));
    QApplication::setWindowIcon(quellhart::ui::LoadAppIcon());
    // The application object needs Qt's to exist, so it is made here rather than
    // as a global.
    quellhart::ui::CEditorApp editor;
    return editor.InitInstance() ? application.exec() : 0;
}
