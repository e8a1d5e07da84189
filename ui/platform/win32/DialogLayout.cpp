#include "ui/platform/win32/DialogLayout.h"

#include <cstdlib>
#include <map>
#include <utility>

#include "res/DialogTemplates.h"
#include "ui/platform/win32/DialogTemplateEx.h"

namespace quellhart::ui {
namespace {

constexpr const wchar_t* kDialogProperty = L"Quellhart.Dialog";
constexpr const wchar_t* kDpiProperty = L"Quellhart.Dpi";

// A function of Windows 10 (1607 and later), such as GetDpiForWindow, looked up so
// that the program still starts where it is missing; there the system's DPI serves.
template <typename Function>
Function User32Function(const char* name) {
    static const HMODULE user32 = GetModuleHandleW(L"user32.dll");
    return user32
               ? reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(user32, name)))
               : nullptr;
}

UINT SystemDpi() {
    HDC screen = GetDC(nullptr);
    const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    return dpi > 0 ? UINT(dpi) : USER_DEFAULT_SCREEN_DPI;
}

HFONT DialogFont(const wchar_t* face, int height) {
    return CreateFontW(-height, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                       CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, face);
}

// Whether the font the system chose has the character height asked for, give or
// take a pixel (a scalable font always has).
bool ReachesHeight(HFONT font, int height) {
    HDC dc = GetDC(nullptr);
    HGDIOBJ old = SelectObject(dc, font);
    TEXTMETRICW metrics{};
    GetTextMetricsW(dc, &metrics);
    SelectObject(dc, old);
    ReleaseDC(nullptr, dc);
    const bool scalable = metrics.tmPitchAndFamily & (TMPF_VECTOR | TMPF_TRUETYPE);
    return scalable || std::abs(metrics.tmHeight - metrics.tmInternalLeading - height) <= 1;
}

// The dialog base units of a font, as the dialog manager takes them: the average
// width of the 52 letters, rounded, and the font's height.
DialogMetrics Measure(HFONT font, UINT dpi) {
    HDC dc = GetDC(nullptr);
    HGDIOBJ old = SelectObject(dc, font);
    TEXTMETRICW metrics{};
    GetTextMetricsW(dc, &metrics);
    SIZE letters{};
    constexpr wchar_t kLetters[] = L"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
    GetTextExtentPoint32W(dc, kLetters, 52, &letters);
    SelectObject(dc, old);
    ReleaseDC(nullptr, dc);
    return {font, int((letters.cx / 26 + 1) / 2), int(metrics.tmHeight), dpi};
}

// Widens the dialog units where a caption of the program's windows would not fit its
// label in this font: a stand-in font is not always as narrow as the template's (the
// system's dialog font is wider than "MS Sans Serif" in some captions at small
// sizes), and a caption cut short is a caption lost.
void WidenForCaptions(DialogMetrics& metrics) {
    HDC dc = GetDC(nullptr);
    HGDIOBJ old = SelectObject(dc, metrics.font);
    for (const res::DialogTemplate* dialog : res::ProgramDialogTemplates()) {
        for (const res::ControlTemplate& c : dialog->controls) {
            if (c.kind != res::ControlKind::Static || c.text.empty() || c.width <= 0) continue;
            const std::wstring text = WideFromSaveText(c.text);
            SIZE size{};
            GetTextExtentPoint32W(dc, text.c_str(), int(text.size()), &size);
            const bool framed = c.style & (SS_SUNKEN | WS_BORDER);
            const int needed = int(size.cx) + (framed ? metrics.Scaled(4) : 0);
            while (metrics.X(c.width) < needed) ++metrics.baseX;
        }
    }
    SelectObject(dc, old);
    ReleaseDC(nullptr, dc);
}

// The children of a window in the order they were created: the dialog manager
// creates a template's controls in its order, each below the one before.
std::vector<HWND> ChildrenInCreationOrder(HWND window) {
    std::vector<HWND> children;
    for (HWND child = GetWindow(window, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
        children.push_back(child);
    return children;
}

// A copy of the picture at `size`, smoothed; kept for the program's life, one for
// each size asked for (a few at most: one a DPI).
HBITMAP ScaledBitmap(int resourceId, SIZE size) {
    static std::map<std::pair<int, std::pair<LONG, LONG>>, HBITMAP> scaled;
    HBITMAP& copy = scaled[{resourceId, {size.cx, size.cy}}];
    if (copy) return copy;
    auto original = static_cast<HBITMAP>(LoadImageW(ProgramInstance(), MAKEINTRESOURCEW(resourceId),
                                                    IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
    if (!original) return nullptr;
    BITMAP info{};
    GetObjectW(original, sizeof info, &info);
    HDC screen = GetDC(nullptr);
    HDC from = CreateCompatibleDC(screen);
    HDC to = CreateCompatibleDC(screen);
    copy = CreateCompatibleBitmap(screen, size.cx, size.cy);
    HGDIOBJ oldFrom = SelectObject(from, original);
    HGDIOBJ oldTo = SelectObject(to, copy);
    SetStretchBltMode(to, HALFTONE);
    SetBrushOrgEx(to, 0, 0, nullptr);
    StretchBlt(to, 0, 0, size.cx, size.cy, from, 0, 0, info.bmWidth, info.bmHeight, SRCCOPY);
    SelectObject(from, oldFrom);
    SelectObject(to, oldTo);
    DeleteDC(from);
    DeleteDC(to);
    ReleaseDC(nullptr, screen);
    DeleteObject(original);
    return copy;
}

// The picture fills its rectangle, as the framework stretches it; at 96 DPI, where
// the rectangle is the picture's own size give or take a pixel (176 x 218 for
// 176 x 217), it keeps that size, unblurred.
SIZE PictureSize(int resourceId, SIZE rectangle) {
    BITMAP info{};
    if (HANDLE original = LoadImageW(ProgramInstance(), MAKEINTRESOURCEW(resourceId), IMAGE_BITMAP,
                                     0, 0, LR_SHARED))
        GetObjectW(original, sizeof info, &info);
    if (std::abs(rectangle.cx - info.bmWidth) <= 1 && std::abs(rectangle.cy - info.bmHeight) <= 1)
        return {info.bmWidth, info.bmHeight};
    return rectangle;
}

void ShowScaledImage(HWND control, const res::ControlTemplate& c, const DialogMetrics& metrics,
                     RECT& rectangle) {
    const int resourceId = std::stoi(c.text);
    if (c.kind == res::ControlKind::Bitmap) {
        const SIZE size = PictureSize(
            resourceId, {rectangle.right - rectangle.left, rectangle.bottom - rectangle.top});
        if (HBITMAP bitmap = ScaledBitmap(resourceId, size)) {
            SendMessageW(control, STM_SETIMAGE, IMAGE_BITMAP, LPARAM(bitmap));
            rectangle.right = rectangle.left + size.cx;
            rectangle.bottom = rectangle.top + size.cy;
        }
    } else {
        // The system's icon size at this DPI; the icon file has every size. One icon a
        // size, kept for the program's life.
        static std::map<std::pair<int, int>, HANDLE> icons;
        const int side = metrics.Scaled(32);
        HANDLE& icon = icons[{resourceId, side}];
        if (!icon)
            icon = LoadImageW(ProgramInstance(), MAKEINTRESOURCEW(resourceId), IMAGE_ICON, side,
                              side, 0);
        if (icon) {
            SendMessageW(control, STM_SETICON, WPARAM(icon), 0);
            rectangle.right = rectangle.left + side;
            rectangle.bottom = rectangle.top + side;
        }
    }
}

// The window's frame around a client area: as it is now, which the system has
// already drawn at the window's new scale when it says the scale changed.
RECT FrameAround(HWND window, RECT client) {
    RECT outer, inner;
    GetWindowRect(window, &outer);
    GetClientRect(window, &inner);
    client.right += (outer.right - outer.left) - inner.right;
    client.bottom += (outer.bottom - outer.top) - inner.bottom;
    return client;
}

}  // namespace

const DialogMetrics& MetricsFor(UINT dpi) {
    static std::map<UINT, DialogMetrics> fonts;
    const auto found = fonts.find(dpi);
    if (found != fonts.end()) return found->second;
    const int height = MulDiv(kDialogFontPoints, int(dpi), 72);
    HFONT font = DialogFont(kDialogFontName, height);
    // "MS Sans Serif" is a bitmap font with a few sizes: where it has none near this
    // DPI's (at 192 DPI it stops 6 pixels short), the window would stay small on a
    // large screen. Its scalable successor, the system's dialog font, takes over.
    if (!ReachesHeight(font, height)) {
        DeleteObject(font);
        font = DialogFont(kScalableDialogFontName, height);
    }
    DialogMetrics metrics = Measure(font, dpi);
    WidenForCaptions(metrics);
    return fonts.emplace(dpi, metrics).first->second;
}

UINT DpiOf(HWND window) {
    HWND root = GetAncestor(window, GA_ROOT);
    if (const auto laidOut = UINT(reinterpret_cast<UINT_PTR>(GetPropW(root, kDpiProperty))))
        return laidOut;
    using GetDpiForWindowFunction = UINT(WINAPI*)(HWND);
    static const auto getDpiForWindow = User32Function<GetDpiForWindowFunction>("GetDpiForWindow");
    const UINT dpi = getDpiForWindow ? getDpiForWindow(root) : 0;
    return dpi ? dpi : SystemDpi();
}

CDialogBase* ProgramDialogOf(HWND window) {
    return static_cast<CDialogBase*>(GetPropW(window, kDialogProperty));
}

void SetProgramDialog(HWND window, CDialogBase* dialog) {
    if (dialog)
        SetPropW(window, kDialogProperty, dialog);
    else
        RemovePropW(window, kDialogProperty);
}

void LayOutDialog(HWND window, const res::DialogTemplate& dialog, UINT dpi) {
    const DialogMetrics& metrics = MetricsFor(dpi);
    const bool topLevel = !(GetWindowLongW(window, GWL_STYLE) & WS_CHILD);
    if (topLevel) SetPropW(window, kDpiProperty, reinterpret_cast<HANDLE>(UINT_PTR(dpi)));
    SendMessageW(window, WM_SETFONT, WPARAM(metrics.font), FALSE);
    const std::vector<const res::ControlTemplate*> order = CreationOrder(dialog);
    const std::vector<HWND> children = ChildrenInCreationOrder(window);
    for (size_t i = 0; i < order.size() && i < children.size(); ++i) {
        const res::ControlTemplate& c = *order[i];
        HWND control = children[i];
        if (GetDlgCtrlID(control) != (c.id == -1 ? 0xFFFF : c.id)) continue;
        RECT rectangle{metrics.X(c.x), metrics.Y(c.y), metrics.X(c.x + c.width),
                       metrics.Y(c.y + c.height)};
        SendMessageW(control, WM_SETFONT, WPARAM(metrics.font), FALSE);
        if (c.kind == res::ControlKind::Bitmap || c.kind == res::ControlKind::Icon)
            ShowScaledImage(control, c, metrics, rectangle);
        SetWindowPos(control, nullptr, rectangle.left, rectangle.top,
                     rectangle.right - rectangle.left, rectangle.bottom - rectangle.top,
                     SWP_NOZORDER | SWP_NOACTIVATE);
    }
    if (topLevel) {
        const RECT frame =
            FrameAround(window, {0, 0, metrics.X(dialog.width), metrics.Y(dialog.height)});
        SetWindowPos(window, nullptr, 0, 0, frame.right - frame.left, frame.bottom - frame.top,
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    InvalidateRect(window, nullptr, TRUE);
}

}  // namespace quellhart::ui
