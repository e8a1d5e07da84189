// Reads from a memory map of a file that cannot crash the program. A file cut short
// while it is mapped (another program truncating the save, a disk that fails) makes
// the pages past its new end unreadable: the system then stops the reading thread
// with a signal (SIGBUS), which by default ends the process. Inside `Guarded` that
// signal ends only the read, which then reports that it failed.
//
// What runs inside may be stopped at any instruction: it must hold nothing that
// needs cleaning up (no allocation, no lock, no object with a destructor of its own),
// only look at the mapped bytes and write plain memory.
#pragma once

// Only where files are mapped: not on Windows, whose file layer does not map (a page
// that cannot be read there raises an exception that GCC's code cannot catch), nor in
// the browser, whose files are in memory.
#if !defined(_WIN32) && !defined(__EMSCRIPTEN__)
#define QH_MAPS_FILES 1
#include <csetjmp>
#include <csignal>
#else
#define QH_MAPS_FILES 0
#endif

namespace quellhart {

#if QH_MAPS_FILES

namespace map_guard {

// The place an unreadable page returns to, for this thread; null outside a read.
extern thread_local sigjmp_buf* tReturnTo;
// Installs the handler once per process (passing a fault outside a guarded read on
// to the handler installed before it, or to the system's default).
void InstallOnce();

}  // namespace map_guard

// Runs `look` over mapped bytes; false if a page it touched could not be read.
template <typename Look>
bool Guarded(Look&& look) {
    map_guard::InstallOnce();
    sigjmp_buf here;
    sigjmp_buf* const outer = map_guard::tReturnTo;
    if (sigsetjmp(here, 0) != 0) {
        map_guard::tReturnTo = outer;
        return false;
    }
    map_guard::tReturnTo = &here;
    look();
    map_guard::tReturnTo = outer;
    return true;
}

#else

template <typename Look>
bool Guarded(Look&& look) {
    look();
    return true;
}

#endif

}  // namespace quellhart
