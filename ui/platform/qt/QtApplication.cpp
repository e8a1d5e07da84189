#include <QCoreApplication>
#include <QFileInfo>
#include <cstdio>

#include "ui/platform/Application.h"

namespace quellhart::ui {

std::string ProgramFileStem() {
    return QFileInfo(QCoreApplication::applicationFilePath()).completeBaseName().toStdString();
}

void ShowCommandLineText(const std::string& text, bool mistake) {
    std::FILE* stream = mistake ? stderr : stdout;
    std::fputs(text.c_str(), stream);
    std::fflush(stream);
}

}  // namespace quellhart::ui
