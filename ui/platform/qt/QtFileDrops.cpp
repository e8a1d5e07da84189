#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFile>
#include <QMimeData>
#include <QUrl>
#include <QWidget>

#include "ui/platform/CDialog.h"
#include "ui/platform/qt/QtWindows.h"

namespace quellhart::ui {
namespace {

// The first local file named in a drag, or an empty text.
QString DroppedFile(const QMimeData* data) {
    if (!data || !data->hasUrls()) return {};
    for (const QUrl& url : data->urls())
        if (url.isLocalFile()) return url.toLocalFile();
    return {};
}

class FileDropFilter : public QObject {
public:
    FileDropFilter(QWidget* window, std::function<void(const std::string&)> open)
        : QObject(window), open_(std::move(open)) {}

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::DragEnter) {
            auto* drag = static_cast<QDragEnterEvent*>(event);
            if (!DroppedFile(drag->mimeData()).isEmpty()) drag->acceptProposedAction();
            return true;
        }
        if (event->type() == QEvent::Drop) {
            auto* drop = static_cast<QDropEvent*>(event);
            const QString file = DroppedFile(drop->mimeData());
            if (file.isEmpty()) return true;
            drop->acceptProposedAction();
            // Paths stay in the file system's own bytes inside the program.
            open_(QFile::encodeName(file).toStdString());
            return true;
        }
        return false;
    }

private:
    std::function<void(const std::string&)> open_;
};

}  // namespace

// The first local file among what is dropped.
void CDialog::DragAcceptFiles(std::function<void(const std::string& path)> open) {
    QWidget* window = ToWidget(Window());
    window->setAcceptDrops(true);
    window->installEventFilter(new FileDropFilter(window, std::move(open)));
}

}  // namespace quellhart::ui
