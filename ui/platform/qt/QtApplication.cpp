#include <QApplication>
#include <QCoreApplication>
#include <QFileInfo>
#include <cstdio>
#include <cstdlib>
#include <memory>

#include "ui/platform/Application.h"
#include "ui/platform/Prompts.h"

namespace quellhart::ui {

std::string ProgramFileStem() {
    return QFileInfo(QCoreApplication::applicationFilePath()).completeBaseName().toStdString();
}

namespace {

// Whether a window can be shown: the toolkit runs, or a display is named for it.
bool HasDisplay() {
    if (QCoreApplication::instance()) return true;
    for (const char* variable : {"DISPLAY", "WAYLAND_DISPLAY"})
        if (const char* value = std::getenv(variable); value && *value) return true;
    return false;
}

}  // namespace

void ShowCommandLineText(const std::string& text, bool mistake) {
    std::FILE* stream = mistake ? stderr : stdout;
    std::fputs(text.c_str(), stream);
    std::fflush(stream);
    if (!mistake || !HasDisplay()) return;
    // Before the toolkit has started (a mistake is found first), it starts for the box.
    std::unique_ptr<QApplication> started;
    if (!QCoreApplication::instance()) {
        static int argc = 1;
        static char name[] = "quellhart-editor";
        static char* argv[] = {name, nullptr};
        started = std::make_unique<QApplication>(argc, argv);
    }
    AfxMessageBox(nullptr, WithoutColumns(text), ProgramFileStem(), MB_OK | MB_ICONEXCLAMATION);
}

}  // namespace quellhart::ui
