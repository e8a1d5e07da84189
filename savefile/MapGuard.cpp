#include "savefile/MapGuard.h"

#if QH_MAPS_FILES

#include <mutex>

namespace quellhart::map_guard {

thread_local sigjmp_buf* tReturnTo = nullptr;

namespace {

struct sigaction gBefore {};

void OnBusError(int signal, siginfo_t* info, void* context) {
    if (tReturnTo) siglongjmp(*tReturnTo, 1);
    // Not ours: whoever handled it before does, or the system's default (the fault
    // comes again as the instruction runs again, and ends the process as it would have).
    if ((gBefore.sa_flags & SA_SIGINFO) != 0) {
        gBefore.sa_sigaction(signal, info, context);
    } else if (gBefore.sa_handler != SIG_DFL && gBefore.sa_handler != SIG_IGN) {
        gBefore.sa_handler(signal);
    } else {
        ::sigaction(SIGBUS, &gBefore, nullptr);
    }
}

}  // namespace

void InstallOnce() {
    static std::once_flag installed;
    std::call_once(installed, [] {
        struct sigaction action {};
        action.sa_sigaction = OnBusError;
        // Not blocked while handled: the jump out of the handler leaves the signal mask
        // as it was, so that a later fault is caught as well.
        action.sa_flags = SA_SIGINFO | SA_NODEFER;
        sigemptyset(&action.sa_mask);
        ::sigaction(SIGBUS, &action, &gBefore);
    });
}

}  // namespace quellhart::map_guard

#endif
