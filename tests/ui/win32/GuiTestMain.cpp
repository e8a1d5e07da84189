// The window tests on Win32: the common controls as the editor's start-up loads them,
// and the scale of the monitor as the editor's manifest asks for it.
#include <gtest/gtest.h>

#include "platform/win32/Win32.h"

int main(int argc, char** argv) {
    // Aware of each monitor's scale, as the editor's manifest declares it.
    SetProcessDpiAwarenessContext(DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE_V2);
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_STANDARD_CLASSES | ICC_TAB_CLASSES};
    InitCommonControlsEx(&controls);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
