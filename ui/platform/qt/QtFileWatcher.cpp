// The watcher on Qt: QFileSystemWatcher (inotify on Linux) on the file, for a rewrite
// in place, and on its folder, for another file taking the name. A file watched by
// inotify is watched by its inode: once another file has taken the name, the watch
// follows the old file away, so it is set again on the name after every notice.
#include <QFile>
#include <QFileInfo>
#include <QFileSystemWatcher>
#include <QTimer>

#include "ui/platform/FileWatcher.h"

namespace quellhart::ui {

struct NativeFileWatcher {
    QFileSystemWatcher watcher;
    QTimer quiet;
    QString file;

    void Rearm() {
        if (file.isEmpty()) return;
        watcher.removePath(file);  // the inode the watch holds may be gone from the name
        if (QFileInfo::exists(file)) watcher.addPath(file);
    }
};

FileWatcher::FileWatcher(std::function<void()> onChange)
    : native_(std::make_unique<NativeFileWatcher>()) {
    NativeFileWatcher& native = *native_;
    native.quiet.setSingleShot(true);
    native.quiet.setInterval(kQuietMilliseconds);
    QObject::connect(&native.quiet, &QTimer::timeout, [&native, onChange = std::move(onChange)] {
        native.Rearm();
        onChange();
    });
    const auto changed = [&native](const QString&) {
        native.Rearm();
        native.quiet.start();  // restarted by every change of a burst
    };
    QObject::connect(&native.watcher, &QFileSystemWatcher::fileChanged, changed);
    QObject::connect(&native.watcher, &QFileSystemWatcher::directoryChanged, changed);
}

FileWatcher::~FileWatcher() = default;

void FileWatcher::Watch(const std::string& path) {
    NativeFileWatcher& native = *native_;
    native.quiet.stop();
    if (const QStringList watched = native.watcher.files() + native.watcher.directories();
        !watched.isEmpty())
        native.watcher.removePaths(watched);
    native.file = QFile::decodeName(QByteArray::fromStdString(path));
    if (path.empty()) return;
    native.watcher.addPath(QFileInfo(native.file).absolutePath());
    native.Rearm();
}

void FileWatcher::LookAgainLater() { native_->quiet.start(); }

}  // namespace quellhart::ui
