// The program's start on Qt: the toolkit first, then the application object's
// InitInstance, as the framework's start-up code runs it.
#include <QApplication>
#include <QFile>
#include <csignal>

#include "platform/CWinApp.h"
#include "platform/qt/Resources.h"
#include "res/QuellhartVersion.h"

int main(int argc, char** argv) {
    // A file size limit must fail the commit's write, which then cleans up, rather
    // than end the program with its work file half-written.
    std::signal(SIGXFSZ, SIG_IGN);
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
