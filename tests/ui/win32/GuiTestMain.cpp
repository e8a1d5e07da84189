// The window tests on Win32: the common controls as the editor's start-up loads them.
#include <gtest/gtest.h>

#include "ui/platform/win32/Win32.h"

int main(int argc, char** argv) {
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_STANDARD_CLASSES | ICC_TAB_CLASSES};
    InitCommonControlsEx(&controls);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
