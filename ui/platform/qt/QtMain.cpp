// The program's start on Qt: the toolkit first, then the application object's
// InitInstance, as the framework's start-up code runs it.
#include <QApplication>
#include <QFile>

#include "platform/CWinApp.h"
#include "platform/qt/Resources.h"
#include "res/QuellhartVersion.h"

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    // No display name: the window system would append it to every window's title,
    // and each window's title is exactly its caption.
    QApplication::setApplicationName(QString::fromUtf8(quellhart::version::kInternalName));
    QApplication::setApplicationVersion(QString::fromUtf8(quellhart::version::kProductVersion));
    QApplication::setWindowIcon(quellhart::ui::LoadAppIcon());
    quellhart::ui::CWinApp* app = quellhart::ui::CWinApp::Current();
    if (!app) return 1;
    // Paths stay in the file system's own bytes inside the program.
    for (const QString& argument : QApplication::arguments().mid(1))
        app->m_arguments.push_back(QFile::encodeName(argument).toStdString());
    return app->InitInstance() ? application.exec() : 0;
}
