// The watcher on Win32: a change notification on the file's folder (names, sizes and
// write times of the files in it), waited for by a thread of its own that sleeps in
// the system until the folder changes or the watcher goes. The thread posts each
// change to a message-only window of the watcher's; the window waits out the quiet
// time with a timer and gives the notice on the window's thread. The folder's handle
// is the only one held: the file itself stays free to be replaced or opened alone.
#include <atomic>
#include <thread>

#include "ui/platform/FileWatcher.h"
#include "ui/platform/win32/Win32.h"

namespace quellhart::ui {
namespace {

constexpr UINT kFolderChanged = WM_APP + 41;
constexpr UINT_PTR kQuietTimer = 1;
constexpr const wchar_t* kWindowClass = L"QuellhartFileWatcher";

LRESULT CALLBACK WatcherProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

}  // namespace

struct NativeFileWatcher {
    std::function<void()> onChange;
    HWND window = nullptr;
    HANDLE stop = nullptr;
    std::thread waiter;

    void StopWaiting() {
        if (!waiter.joinable()) return;
        SetEvent(stop);
        waiter.join();
        ResetEvent(stop);
    }
    void StartQuietTime() {
        if (window) SetTimer(window, kQuietTimer, FileWatcher::kQuietMilliseconds, nullptr);
    }
};

namespace {

LRESULT CALLBACK WatcherProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* native = reinterpret_cast<NativeFileWatcher*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (native && message == kFolderChanged) {
        native->StartQuietTime();  // restarted by every change of a burst
        return 0;
    }
    if (native && message == WM_TIMER && wParam == kQuietTimer) {
        KillTimer(window, kQuietTimer);
        native->onChange();
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

HWND MakeMessageWindow(NativeFileWatcher* native) {
    static const ATOM registered = [] {
        WNDCLASSW windowClass{};
        windowClass.lpfnWndProc = WatcherProc;
        windowClass.hInstance = ProgramInstance();
        windowClass.lpszClassName = kWindowClass;
        return RegisterClassW(&windowClass);
    }();
    if (!registered) return nullptr;
    HWND window = CreateWindowExW(0, kWindowClass, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                  ProgramInstance(), nullptr);
    if (window) SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(native));
    return window;
}

}  // namespace

FileWatcher::FileWatcher(std::function<void()> onChange)
    : native_(std::make_unique<NativeFileWatcher>()) {
    native_->onChange = std::move(onChange);
    native_->stop = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    native_->window = MakeMessageWindow(native_.get());
}

FileWatcher::~FileWatcher() {
    native_->StopWaiting();
    if (native_->window) DestroyWindow(native_->window);
    if (native_->stop) CloseHandle(native_->stop);
}

void FileWatcher::Watch(const std::string& path) {
    NativeFileWatcher& native = *native_;
    native.StopWaiting();
    if (native.window) KillTimer(native.window, kQuietTimer);
    if (path.empty() || !native.window || !native.stop) return;
    std::wstring folder = WideFromUtf8(path);
    const size_t slash = folder.find_last_of(L"\\/");
    folder = slash == std::wstring::npos ? L"." : folder.substr(0, slash + 1);
    HANDLE change = FindFirstChangeNotificationW(
        folder.c_str(), FALSE,
        FILE_NOTIFY_CHANGE_FILE_NAME | FILE_NOTIFY_CHANGE_SIZE | FILE_NOTIFY_CHANGE_LAST_WRITE |
            FILE_NOTIFY_CHANGE_ATTRIBUTES);
    if (change == INVALID_HANDLE_VALUE) return;  // a folder that cannot be watched: no notices
    native.waiter = std::thread([change, stop = native.stop, window = native.window] {
        const HANDLE waitFor[] = {stop, change};
        while (WaitForMultipleObjects(2, waitFor, FALSE, INFINITE) == WAIT_OBJECT_0 + 1) {
            PostMessageW(window, kFolderChanged, 0, 0);
            if (!FindNextChangeNotification(change)) break;
        }
        FindCloseChangeNotification(change);
    });
}

void FileWatcher::LookAgainLater() { native_->StartQuietTime(); }

}  // namespace quellhart::ui
