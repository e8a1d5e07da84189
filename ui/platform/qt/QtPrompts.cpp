#include <QFile>
#include <QFileDialog>
#include <QMessageBox>

#include "ui/platform/Prompts.h"
#include "ui/platform/qt/QtWindows.h"
#include "ui/platform/qt/SaveText.h"

namespace quellhart::ui {
namespace {

// Real Qt dialogs.
class QtPrompts : public Prompts {
public:
    int MessageBox(WindowHandle owner, const std::string& text, const std::string& caption,
                   unsigned type, const std::string& details) override;
    std::optional<ChosenFile> OpenFile(WindowHandle owner, const FileDialogRequest& request,
                                       std::string& failure) override;
};

}  // namespace

std::unique_ptr<Prompts> MakeSystemPrompts() { return std::make_unique<QtPrompts>(); }

int QtPrompts::MessageBox(WindowHandle owner, const std::string& text, const std::string& caption,
                          unsigned type, const std::string& details) {
    QMessageBox box(ToWidget(owner));
    box.setWindowTitle(FromSaveText(caption));
    box.setText(FromSaveText(text));
    if (!details.empty()) box.setDetailedText(QString::fromStdString(details));
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

// Qt's dialog has no "Open as read-only" box: what it opens is opened for editing.
// Qt's dialog cannot fail to show: `failure` stays empty.
std::optional<ChosenFile> QtPrompts::OpenFile(WindowHandle owner, const FileDialogRequest& request,
                                              std::string& failure) {
    failure.clear();
    QFileDialog dialog(ToWidget(owner));
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::AnyFile);  // the file need not exist yet
    // Qt takes the description, which carries the patterns.
    QStringList filters;
    for (const auto& [description, patterns] : FileFilterPairs(request.filter))
        filters << QString::fromStdString(description);
    dialog.setNameFilters(filters);
    dialog.setDefaultSuffix(QString::fromStdString(request.defaultExtension));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
    // Paths keep the file system's own encoding; only save texts are Windows-1252.
    const std::string path = QFile::encodeName(dialog.selectedFiles().first()).toStdString();
    return WithDefaultExtension(path, request.defaultExtension);
}

}  // namespace quellhart::ui
