// The program's start on Windows: the common controls first, then the application
// object's InitInstance, as the framework's start-up code runs it. The arguments are
// read as UTF-16 from the system, since the ANSI code page cannot hold every file
// name, and kept as UTF-8 inside the program.
#include "ui/platform/CWinApp.h"
#include "ui/platform/win32/Win32.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    using namespace quellhart::ui;
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_STANDARD_CLASSES | ICC_TAB_CLASSES};
    InitCommonControlsEx(&controls);
    CWinApp* app = CWinApp::Current();
    if (!app) return 1;
    // A name the installer looks for, so that it asks for the editor to be closed
    // before it replaces the program file; the system removes it with the process.
    CreateMutexW(nullptr, FALSE, L"QuellhartSavegameEditor");
    int count = 0;
    if (wchar_t** arguments = CommandLineToArgvW(GetCommandLineW(), &count)) {
        for (int i = 1; i < count; ++i) app->m_arguments.push_back(Utf8FromWide(arguments[i]));
        LocalFree(arguments);
    }
    if (!app->InitInstance()) return app->m_exitCode;
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return int(message.wParam);
}
