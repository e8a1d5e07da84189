#include <exception>
#include <thread>

#include "ui/platform/BackgroundWork.h"
#include "ui/platform/win32/Win32.h"

namespace quellhart::ui {

void RunKeepingWindowsAlive(const std::function<void()>& work) {
    std::exception_ptr failure;
    HANDLE done = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    std::thread worker([&] {
        try {
            work();
        } catch (...) {
            failure = std::current_exception();
        }
        SetEvent(done);
    });
    // Paint, timer, posted and sent messages are handled; input stays queued. (A
    // window that handles no message for five seconds is also shown as not
    // responding.)
    constexpr UINT kHandled = QS_PAINT | QS_POSTMESSAGE | QS_SENDMESSAGE | QS_TIMER;
    while (MsgWaitForMultipleObjects(1, &done, FALSE, INFINITE, kHandled) != WAIT_OBJECT_0) {
        MSG msg;
        while (PeekMessageW(&msg, nullptr, 0, 0,
                            PM_REMOVE | PM_QS_PAINT | PM_QS_POSTMESSAGE | PM_QS_SENDMESSAGE)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
    }
    worker.join();
    CloseHandle(done);
    if (failure) std::rethrow_exception(failure);
}

}  // namespace quellhart::ui
