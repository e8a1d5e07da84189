// Tells the window when the file a name stands for may have changed: rewritten in
// place, or replaced by another file that took its name (a game saving by writing a
// new file and renaming it over the old one). The system wakes the watcher; nothing
// polls, so an idle editor costs nothing. A burst of changes (a game writing a save in
// many calls) gives one notice once the folder has been quiet for a moment, on the
// window's thread. A notice may come when nothing changed that matters (another file
// of the folder changed): the caller looks at the file itself to tell.
#pragma once

#include <functional>
#include <memory>
#include <string>

namespace quellhart::ui {

struct NativeFileWatcher;

class FileWatcher {
public:
    explicit FileWatcher(std::function<void()> onChange);
    ~FileWatcher();
    FileWatcher(const FileWatcher&) = delete;
    FileWatcher& operator=(const FileWatcher&) = delete;

    // Watches the file `path` names (and its folder, where a new file takes the name);
    // an empty path watches nothing.
    void Watch(const std::string& path);
    // Gives another notice after the quiet time, without a change: for a file the
    // caller found in the middle of a write.
    void LookAgainLater();

    // How long the folder must be quiet before a notice.
    static constexpr int kQuietMilliseconds = 300;

private:
    std::unique_ptr<NativeFileWatcher> native_;
};

}  // namespace quellhart::ui
