#include "platform/Prompts.h"

#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>

#include "platform/SaveText.h"
#include "platform/WinTypes.h"

namespace quellhart::ui {
namespace {

std::unique_ptr<Prompts>& Installed() {
    static std::unique_ptr<Prompts> prompts = std::make_unique<QtPrompts>();
    return prompts;
}

}  // namespace

Prompts& CurrentPrompts() { return *Installed(); }

std::unique_ptr<Prompts> InstallPrompts(std::unique_ptr<Prompts> prompts) {
    if (!prompts) prompts = std::make_unique<QtPrompts>();
    std::swap(prompts, Installed());
    return prompts;
}

int AfxMessageBox(QWidget* owner, const std::string& text, const std::string& caption,
                  unsigned type) {
    return CurrentPrompts().MessageBox(owner, text, caption, type);
}

int QtPrompts::MessageBox(QWidget* owner, const std::string& text, const std::string& caption,
                          unsigned type) {
    QMessageBox box(owner);
    box.setWindowTitle(FromSaveText(caption));
    box.setText(FromSaveText(text));
    box.setTextFormat(Qt::PlainText);
    box.setIcon((type & MB_ICONMASK) == MB_ICONINFORMATION ? QMessageBox::Information
                                                           : QMessageBox::Warning);
    if ((type & MB_TYPEMASK) == MB_YESNO) {
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        box.setDefaultButton(QMessageBox::Yes);
        return box.exec() == QMessageBox::Yes ? IDYES : IDNO;
    }
    box.setStandardButtons(QMessageBox::Ok);
    box.exec();
    return IDOK;
}

std::string QtFileFilter(const std::string& filter) {
    // "Text|pattern|Text|pattern||": Qt takes the text, which carries the pattern.
    std::string result;
    size_t from = 0;
    while (from < filter.size()) {
        const size_t bar = filter.find('|', from);
        if (bar == std::string::npos || bar == from) break;
        const size_t next = filter.find('|', bar + 1);
        result += (result.empty() ? "" : ";;") + filter.substr(from, bar - from);
        from = next == std::string::npos ? filter.size() : next + 1;
    }
    return result;
}

std::string WithDefaultExtension(const std::string& path, const std::string& extension) {
    if (path.empty() || extension.empty() ||
        !QFileInfo(QString::fromStdString(path)).suffix().isEmpty())
        return path;
    return path + "." + extension;
}

std::optional<std::string> QtPrompts::OpenFile(QWidget* owner, const FileDialogRequest& request) {
    QFileDialog dialog(owner);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::AnyFile);  // the file need not exist yet
    dialog.setNameFilter(QString::fromStdString(QtFileFilter(request.filter)));
    dialog.setDefaultSuffix(QString::fromStdString(request.defaultExtension));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
    // Paths keep the file system's own encoding; only save texts are Windows-1252.
    const std::string path = QFile::encodeName(dialog.selectedFiles().first()).toStdString();
    return WithDefaultExtension(path, request.defaultExtension);
}

int ScriptedPrompts::MessageBox(QWidget*, const std::string& text, const std::string& caption,
                                unsigned type) {
    messages.push_back({text, caption, type});
    if (whileShown) whileShown(messages.back());
    const int fallback = (type & MB_TYPEMASK) == MB_YESNO ? IDYES : IDOK;
    if (messageAnswers.empty()) return fallback;
    const int answer = messageAnswers.front();
    messageAnswers.pop_front();
    return answer;
}

std::optional<std::string> ScriptedPrompts::OpenFile(QWidget*, const FileDialogRequest& request) {
    fileDialogs.push_back(request);
    if (fileAnswers.empty()) return std::nullopt;
    std::optional<std::string> answer = fileAnswers.front();
    fileAnswers.pop_front();
    return answer;
}

}  // namespace quellhart::ui
