#include "platform/CWnd.h"
#include "platform/win32/Win32.h"

namespace quellhart::ui {

WindowHandle CWnd::GetSafeHwnd() const {
    return hwnd_ && IsWindow(ToHwnd(hwnd_)) ? hwnd_ : nullptr;
}

void CWnd::SetWindowText(std::string_view text) {
    if (GetSafeHwnd()) SetWindowTextW(ToHwnd(hwnd_), WideFromSaveText(text).c_str());
}

void CWnd::SetWindowTextPath(const std::string& path) {
    if (GetSafeHwnd()) SetWindowTextW(ToHwnd(hwnd_), WideFromUtf8(path).c_str());
}

std::string CWnd::GetWindowText(int maxCount) const {
    if (!GetSafeHwnd() || maxCount <= 0) return {};
    std::string bytes = SaveTextFromWide(WindowTextOf(ToHwnd(hwnd_)));
    if (bytes.size() > size_t(maxCount - 1)) bytes.resize(size_t(maxCount - 1));
    return bytes;
}

BOOL CWnd::IsTextInCodePage() const {
    if (!GetSafeHwnd()) return TRUE;
    const std::wstring text = WindowTextOf(ToHwnd(hwnd_));
    return WideFromSaveText(SaveTextFromWide(text)) == text ? TRUE : FALSE;
}

void CWnd::LimitText(int maxChars) {
    if (!GetSafeHwnd()) return;
    wchar_t className[16] = {};
    GetClassNameW(ToHwnd(hwnd_), className, 16);
    const bool isCombo = std::wstring_view(className) == L"ComboBox";
    SendMessageW(ToHwnd(hwnd_), isCombo ? CB_LIMITTEXT : EM_LIMITTEXT, WPARAM(maxChars), 0);
}

void CWnd::SetFocus() {
    if (GetSafeHwnd()) ::SetFocus(ToHwnd(hwnd_));
}

// The system's controls get no description this way; there a screen reader reads
// each field by its caption.
void CWnd::SetAccessibleDescription(std::string_view) {}

void CWnd::EnableWindow(BOOL enable) {
    if (GetSafeHwnd()) ::EnableWindow(ToHwnd(hwnd_), enable);
}

BOOL CWnd::IsWindowEnabled() const {
    return GetSafeHwnd() && ::IsWindowEnabled(ToHwnd(hwnd_)) ? TRUE : FALSE;
}

BOOL CWnd::IsWindowVisible() const {
    return GetSafeHwnd() && ::IsWindowVisible(ToHwnd(hwnd_)) ? TRUE : FALSE;
}

void CWnd::UpdateWindow() {
    if (GetSafeHwnd())
        RedrawWindow(ToHwnd(hwnd_), nullptr, nullptr,
                     RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
}

}  // namespace quellhart::ui
