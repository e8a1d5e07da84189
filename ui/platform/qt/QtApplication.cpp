#include <QCoreApplication>
#include <QFileInfo>
#include <cstdio>

#include "platform/Application.h"

namespace quellhart::ui {

std::string ProgramFileStem() {
    return QFileInfo(QCoreApplication::applicationFilePath()).completeBaseName().toStdString();
}

void ShowCommandLineText(const std::string& text) {
    std::fputs(text.c_str(), stdout);
    std::fflush(stdout);
}

}  // namespace quellhart::ui
