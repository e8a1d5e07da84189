#include <QEventLoop>
#include <QMetaObject>
#include <exception>
#include <thread>

#include "ui/platform/BackgroundWork.h"

namespace quellhart::ui {

void RunKeepingWindowsAlive(const std::function<void()>& work) {
    QEventLoop loop;
    std::exception_ptr failure;
    std::thread worker([&] {
        try {
            work();
        } catch (...) {
            failure = std::current_exception();
        }
        // Queued, so that it is heard even when the work ends before the loop runs.
        QMetaObject::invokeMethod(&loop, "quit", Qt::QueuedConnection);
    });
    loop.exec(QEventLoop::ExcludeUserInputEvents);
    worker.join();
    if (failure) std::rethrow_exception(failure);
}

}  // namespace quellhart::ui
