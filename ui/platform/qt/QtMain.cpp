// The program's start on Qt: the toolkit first, then the application object's
// InitInstance, as the framework's start-up code runs it.
#include <QApplication>
#include <QFile>
#include <csignal>
#include <optional>
#include <string>
#include <vector>

#include "res/QuellhartVersion.h"
#include "ui/platform/CWinApp.h"
#include "ui/platform/qt/Resources.h"

int main(int argc, char** argv) {
    // A file size limit must fail the commit's write, which then cleans up, rather
    // than end the program with its work file half-written.
    std::signal(SIGXFSZ, SIG_IGN);
    quellhart::ui::CWinApp* app = quellhart::ui::CWinApp::Current();
    if (!app) return 1;
    // --help, --version and a mistake are answered before the toolkit starts, which
    // needs a display (and would end the program without one, in a terminal over SSH).
    if (const std::optional<int> answered =
            app->AnswerBeforeToolkit(std::vector<std::string>(argv + 1, argv + argc)))
        return *answered;
    QApplication application(argc, argv);
    // No display name: the window system would append it to every window's title,
    // and each window's title is exactly its caption.
    QApplication::setApplicationName(QString::fromUtf8(quellhart::version::kInternalName));
    QApplication::setApplicationVersion(QString::fromUtf8(quellhart::version::kProductVersion));
    QApplication::setWindowIcon(quellhart::ui::LoadAppIcon());
    // Paths stay in the file system's own bytes inside the program.
    for (const QString& argument : QApplication::arguments().mid(1))
        app->m_arguments.push_back(QFile::encodeName(argument).toStdString());
    return app->InitInstance() ? application.exec() : app->m_exitCode;
}
