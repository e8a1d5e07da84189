// The windows at every scale a Windows laptop comes with (100, 125, 150 and 200 %),
// as they are laid out when they meet a monitor of that scale: every control inside
// its window and clear of the others, every label's text inside its label, the
// picture scaled with its rectangle, and the sheet's pages whole inside their tabs.
#include <utility>

#include "res/DialogTemplates.h"
#include "tests/ui/GuiTestBase.h"
#include "ui/AboutDlg.h"
#include "ui/platform/win32/DialogLayout.h"
#include "ui/platform/win32/DialogTemplateEx.h"

namespace quellhart::test {
namespace {

constexpr UINT kScales[] = {96, 120, 144, 192};

// What the system sends when the window is moved to a monitor of another scale: the
// window goes where the system suggests, at the size the new scale gives it.
void MoveToMonitorOf(HWND window, UINT dpi) {
    RECT suggested;
    GetWindowRect(window, &suggested);
    OffsetRect(&suggested, 7, 5);
    SendMessageW(window, WM_DPICHANGED, MAKEWPARAM(dpi, dpi), LPARAM(&suggested));
    RECT placed;
    GetWindowRect(window, &placed);
    EXPECT_EQ(placed.left, suggested.left);
    EXPECT_EQ(placed.top, suggested.top);
}

RECT RectIn(HWND control, HWND window) {
    RECT r;
    GetWindowRect(control, &r);
    MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&r), 2);
    return r;
}

bool Inside(const RECT& inner, const RECT& outer) {
    return inner.left >= outer.left && inner.top >= outer.top && inner.right <= outer.right &&
           inner.bottom <= outer.bottom;
}

// The height of the control's text, in pixels.
int TextHeight(HWND control) {
    HDC dc = GetDC(control);
    HGDIOBJ old = SelectObject(dc, HGDIOBJ(SendMessageW(control, WM_GETFONT, 0, 0)));
    TEXTMETRICW metrics{};
    GetTextMetricsW(dc, &metrics);
    SelectObject(dc, old);
    ReleaseDC(control, dc);
    return int(metrics.tmHeight);
}

int TextWidth(HWND control) {
    const std::wstring text = ui::WindowTextOf(control);
    HDC dc = GetDC(control);
    HGDIOBJ old = SelectObject(dc, HGDIOBJ(SendMessageW(control, WM_GETFONT, 0, 0)));
    SIZE size{};
    GetTextExtentPoint32W(dc, text.c_str(), int(text.size()), &size);
    SelectObject(dc, old);
    ReleaseDC(control, dc);
    return int(size.cx);
}

// Every control of the template in `window`, laid out at `dpi`.
void ExpectLaidOut(HWND window, const res::DialogTemplate& dialog, UINT dpi) {
    SCOPED_TRACE(dialog.caption);
    const ui::DialogMetrics& metrics = ui::MetricsFor(dpi);
    RECT client;
    GetClientRect(window, &client);
    std::vector<std::pair<const res::ControlTemplate*, RECT>> placed;
    HWND child = GetWindow(window, GW_CHILD);
    for (const res::ControlTemplate* c : ui::CreationOrder(dialog)) {
        ASSERT_NE(child, nullptr);
        const RECT r = RectIn(child, window);
        SCOPED_TRACE(c->text);
        EXPECT_TRUE(Inside(r, client));
        // Its text is drawn at the scale too: 13 pixels high at 100 %, give or take.
        if (c->kind != res::ControlKind::Bitmap && c->kind != res::ControlKind::Icon) {
            EXPECT_GE(TextHeight(child), MulDiv(13, int(dpi), 96) * 9 / 10);
        }
        if (c->kind == res::ControlKind::Bitmap) {
            // The picture itself, not only its frame, fills the rectangle.
            BITMAP picture{};
            GetObjectW(HGDIOBJ(SendMessageW(child, STM_GETIMAGE, IMAGE_BITMAP, 0)), sizeof picture,
                       &picture);
            EXPECT_NEAR(picture.bmWidth, metrics.X(c->width), 1);
            EXPECT_NEAR(picture.bmHeight, metrics.Y(c->height), 1);
            EXPECT_EQ(r.right - r.left, picture.bmWidth);
            EXPECT_EQ(r.bottom - r.top, picture.bmHeight);
        }
        if (c->kind == res::ControlKind::Static && !(c->style & SS_PATHELLIPSIS)) {
            RECT inside;
            GetClientRect(child, &inside);
            EXPECT_LE(TextWidth(child), inside.right) << "cut: " << c->text;
        }
        for (const auto& [other, rect] : placed) {
            // A group box holds its fields, and Help lies over the picture's corner.
            const bool meant = c->kind == res::ControlKind::GroupBox ||
                               other->kind == res::ControlKind::GroupBox ||
                               (c->id == ID_HELP && other->kind == res::ControlKind::Bitmap);
            RECT overlap;
            EXPECT_TRUE(meant || !IntersectRect(&overlap, &r, &rect)) << "over " << other->text;
        }
        placed.emplace_back(c, r);
        child = GetWindow(child, GW_HWNDNEXT);
    }
}

class Win32LayoutTest : public GuiTest {};

TEST_F(Win32LayoutTest, TheMainWindowAndItsPagesAtEveryScale) {
    ClickOpen(WriteSave(StandardSave()));
    HWND window = ui::ToHwnd(main.Window());
    HWND sheet = ui::ToHwnd(Held(main).Sheet().GetSafeHwnd());
    HWND tabs = PropSheet_GetTabControl(sheet);
    for (UINT dpi : kScales) {
        SCOPED_TRACE(dpi);
        MoveToMonitorOf(window, dpi);
        const ui::DialogMetrics& metrics = ui::MetricsFor(dpi);
        RECT client;
        GetClientRect(window, &client);
        EXPECT_EQ(client.right, metrics.X(res::MainTemplate().width));
        // As large as the scale says, give or take the fonts' own proportions.
        EXPECT_GE(client.right, MulDiv(669, int(dpi), 96) * 9 / 10);
        EXPECT_EQ(client.bottom, metrics.Y(res::MainTemplate().height));
        ExpectLaidOut(window, res::MainTemplate(), dpi);
        // The sheet lies left of the buttons and above the file's label.
        const RECT sheetRect = RectIn(sheet, window);
        EXPECT_LE(sheetRect.right, metrics.X(306));
        EXPECT_LE(sheetRect.bottom, metrics.Y(237));
        for (int page = 0; page < 2; ++page) {
            ShowPage(page);  // the sheet fits a page to its tabs each time it shows it
            ui::CDialogBase& shown = page == 0
                                         ? static_cast<ui::CDialogBase&>(Held(main).PlayerPage())
                                         : Held(main).GlobPage();
            HWND pageWindow = ui::ToHwnd(shown.GetSafeHwnd());
            RECT area = RectIn(tabs, sheet);
            TabCtrl_AdjustRect(tabs, ui::FALSE, &area);
            const RECT pageRect = RectIn(pageWindow, sheet);
            EXPECT_TRUE(Inside(pageRect, area));
            EXPECT_EQ(pageRect.right - pageRect.left, metrics.X(shown.Template().width));
            EXPECT_EQ(pageRect.bottom - pageRect.top, metrics.Y(shown.Template().height));
            ExpectLaidOut(pageWindow, shown.Template(), dpi);
        }
    }
}

TEST_F(Win32LayoutTest, TheAboutBoxAtEveryScale) {
    ui::CAboutDlg about;
    about.Create();
    for (UINT dpi : kScales) {
        SCOPED_TRACE(dpi);
        MoveToMonitorOf(ui::ToHwnd(about.Window()), dpi);
        ExpectLaidOut(ui::ToHwnd(about.Window()), res::AboutTemplate(), dpi);
    }
    about.DestroyWindow();
}

// The sheet is named by nothing of its own: a screen reader reads the page.
TEST_F(Win32LayoutTest, TheSheetCarriesNoWindowText) {
    EXPECT_EQ(ui::WindowTextOf(ui::ToHwnd(Held(main).Sheet().GetSafeHwnd())), L"");
}

}  // namespace
}  // namespace quellhart::test
