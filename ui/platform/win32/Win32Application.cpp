#include <algorithm>
#include <vector>

#include "ui/platform/Application.h"
#include "ui/platform/Prompts.h"
#include "ui/platform/win32/DialogLayout.h"
#include "ui/platform/win32/Win32.h"

namespace quellhart::ui {
namespace {

std::vector<HWND>& ModelessWindows() {
    static std::vector<HWND> windows;
    return windows;
}

std::vector<HWND>& PropertySheets() {
    static std::vector<HWND> sheets;
    return sheets;
}

// The keys by which a property sheet turns its pages: Ctrl with Tab, Page Up or Down.
bool IsPageKey(const MSG& message) {
    return message.message == WM_KEYDOWN && GetKeyState(VK_CONTROL) < 0 &&
           (message.wParam == VK_TAB || message.wParam == VK_PRIOR || message.wParam == VK_NEXT);
}

void Forget(std::vector<HWND>& windows, HWND window) {
    windows.erase(std::remove(windows.begin(), windows.end(), window), windows.end());
}

}  // namespace

void AddModelessWindow(HWND window) { ModelessWindows().push_back(window); }

void AddPropertySheet(HWND sheet) { PropertySheets().push_back(sheet); }

void RemoveModelessWindow(HWND window) {
    Forget(ModelessWindows(), window);
    Forget(PropertySheets(), window);
}

void LayOutPropertySheets(HWND window, UINT dpi) {
    for (HWND sheet : PropertySheets())
        if (IsWindow(sheet) && IsChild(window, sheet)) LayOutPropertySheet(sheet, dpi);
}

bool IsModelessWindowMessage(MSG& message) {
    if (IsPageKey(message))
        for (HWND sheet : PropertySheets())
            if (IsWindow(sheet) && IsChild(GetAncestor(sheet, GA_ROOT), message.hwnd))
                return TurnPageByKey(sheet, message);
    for (HWND window : ModelessWindows())
        if (IsWindow(window) && IsDialogMessageW(window, &message)) return true;
    return false;
}

std::string ProgramFileStem() {
    // Installed under a long path (the manifest allows them), the name may be longer
    // than MAX_PATH: the buffer grows until it holds it.
    std::wstring path(MAX_PATH, L'\0');
    while (GetModuleFileNameW(nullptr, path.data(), DWORD(path.size())) == path.size() &&
           path.size() < 32768)
        path.resize(path.size() * 2);
    path.resize(wcslen(path.c_str()));
    const size_t name = path.find_last_of(L"\\/");
    std::wstring stem = name == std::wstring::npos ? path : path.substr(name + 1);
    if (const size_t dot = stem.rfind(L'.'); dot != std::wstring::npos) stem.resize(dot);
    return Utf8FromWide(stem);
}

// A program of the window subsystem has no console to write to.
void ShowCommandLineText(const std::string& text, bool mistake) {
    AfxMessageBox(nullptr, WithoutColumns(text), ProgramFileStem(),
                  MB_OK | (mistake ? MB_ICONEXCLAMATION : MB_ICONINFORMATION));
}

}  // namespace quellhart::ui
