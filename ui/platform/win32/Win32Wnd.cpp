#include <algorithm>

#include "codepage/CodePage.h"
#include "res/WindowStyles.h"
#include "ui/platform/CWnd.h"
#include "ui/platform/win32/Win32.h"

namespace quellhart::ui {

WindowHandle CWnd::GetSafeHwnd() const {
    return hwnd_ && IsWindow(ToHwnd(hwnd_)) ? hwnd_ : nullptr;
}

void CWnd::SetWindowText(std::string_view text) {
    if (GetSafeHwnd()) SetWindowTextW(ToHwnd(hwnd_), WideFromSaveText(text).c_str());
}

namespace {

// The tooltip of a label, kept as a property of the label.
constexpr const wchar_t* kTooltipProperty = L"QuellhartTooltip";

// Shows `text` as the label's tooltip, made on first use; an owned window, it goes
// with the dialog. (The label needs SS_NOTIFY, or the mouse passes through it.) The
// property is left on the label when it goes; a label's properties go with it.
void SetTooltip(HWND label, const std::wstring& text) {
    TTTOOLINFOW tool{};
    tool.cbSize = sizeof tool;
    tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    tool.hwnd = GetParent(label);
    tool.uId = reinterpret_cast<UINT_PTR>(label);
    tool.lpszText = const_cast<wchar_t*>(text.c_str());
    auto tip = static_cast<HWND>(GetPropW(label, kTooltipProperty));
    if (tip && IsWindow(tip)) {
        SendMessageW(tip, TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&tool));
        return;
    }
    tip = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr,
                          WS_POPUP | TTS_NOPREFIX | TTS_ALWAYSTIP, CW_USEDEFAULT, CW_USEDEFAULT,
                          CW_USEDEFAULT, CW_USEDEFAULT, GetAncestor(label, GA_ROOT), nullptr,
                          GetModuleHandleW(nullptr), nullptr);
    if (!tip) return;
    SendMessageW(tip, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
    SetPropW(label, kTooltipProperty, tip);
}

}  // namespace

void CWnd::SetWindowTextPath(const std::string& path) {
    if (!GetSafeHwnd()) return;
    const std::wstring wide = WideFromUtf8(path);
    SetWindowTextW(ToHwnd(hwnd_), wide.c_str());
    // A label that cuts a long path in the middle shows the whole path on hover.
    if (GetWindowLongW(ToHwnd(hwnd_), GWL_STYLE) & SS_PATHELLIPSIS) SetTooltip(ToHwnd(hwnd_), wide);
}

HWND TooltipOf(WindowHandle label) {
    return static_cast<HWND>(GetPropW(ToHwnd(label), kTooltipProperty));
}

std::string CWnd::GetWindowText(int maxCount) const {
    if (!GetSafeHwnd() || maxCount <= 0) return {};
    std::string bytes = SaveTextFromWide(WindowTextOf(ToHwnd(hwnd_)));
    if (bytes.size() > size_t(maxCount - 1)) bytes.resize(size_t(maxCount - 1));
    return bytes;
}

std::string CWnd::UnstorableCharacter() const {
    if (!GetSafeHwnd()) return {};
    // Typed composed or decomposed, a letter with marks is stored all the same.
    return SaveTextCodePage()
        .FirstUnstorable(Utf8FromWide(WindowTextOf(ToHwnd(hwnd_))))
        .value_or("");
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

void CEdit::SetSel(int start, int end) {
    if (GetSafeHwnd()) SendMessageW(ToHwnd(hwnd_), EM_SETSEL, WPARAM(start), LPARAM(end));
}

// The system's controls get no description this way; there a screen reader reads
// each field by its caption.
void CWnd::SetAccessibleDescription(std::string_view) {}

// The system's controls tell a screen reader of their own changes (a list's choice,
// a field's new value) through the system's events.
void CWnd::Announce(std::string_view, AnnounceWhen) {}

void CWnd::EnableWindow(BOOL enable) {
    if (GetSafeHwnd()) ::EnableWindow(ToHwnd(hwnd_), enable);
}

BOOL CWnd::IsWindowEnabled() const {
    return GetSafeHwnd() && ::IsWindowEnabled(ToHwnd(hwnd_)) ? TRUE : FALSE;
}

BOOL CWnd::IsWindowVisible() const {
    return GetSafeHwnd() && ::IsWindowVisible(ToHwnd(hwnd_)) ? TRUE : FALSE;
}

void CWnd::CenterWindow() {
    HWND window = GetSafeHwnd() ? ToHwnd(hwnd_) : nullptr;
    if (!window) return;
    HWND owner = GetWindow(window, GW_OWNER);
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    if (!GetMonitorInfoW(MonitorFromWindow(owner ? owner : window, MONITOR_DEFAULTTONEAREST),
                         &monitor))
        return;
    const RECT area = monitor.rcWork;
    RECT over = area;
    if (owner && ::IsWindowVisible(owner) && !IsIconic(owner)) GetWindowRect(owner, &over);
    RECT frame;
    GetWindowRect(window, &frame);
    const LONG width = frame.right - frame.left, height = frame.bottom - frame.top;
    const LONG x = (over.left + over.right - width) / 2, y = (over.top + over.bottom - height) / 2;
    SetWindowPos(window, nullptr, std::clamp(x, area.left, std::max(area.left, area.right - width)),
                 std::clamp(y, area.top, std::max(area.top, area.bottom - height)), 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void CWnd::UpdateWindow() {
    if (GetSafeHwnd())
        RedrawWindow(ToHwnd(hwnd_), nullptr, nullptr,
                     RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
}

}  // namespace quellhart::ui
