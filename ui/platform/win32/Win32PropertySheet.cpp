// The property sheet is the system's (comctl32), made a child of the main window
// before it is created, with its own OK, Cancel, Apply and Help buttons hidden and
// its size cut to its tabs. Every page is created with the sheet, so that its
// controls exist from the start, and hears PSN_SETACTIVE whenever it becomes current.
// The sheet measures pages in its own font at the system's DPI; here the tabs, the
// pages and the sheet are sized from the pages' templates at the window's DPI (the
// sheet then fits each page it shows to the tabs' display area, which is the page's
// size).
#include <algorithm>

#include "ui/platform/CPropertySheet.h"
#include "ui/platform/win32/DialogLayout.h"
#include "ui/platform/win32/DialogTemplateEx.h"
#include "ui/platform/win32/Win32.h"
#include "ui/platform/win32/Win32Controls.h"

namespace quellhart::ui {

struct NativeSheet {
    std::vector<std::vector<uint32_t>> pageTemplates;
};

namespace {

// The margin around the tabs, in pixels at 96 DPI.
constexpr int kSheetMargin = 4;

// While the sheet makes its pages, their activations are not the user's.
bool gMakingPages = false;

CPropertyPage* PageOf(HWND page) {
    return reinterpret_cast<CPropertyPage*>(GetWindowLongPtrW(page, DWLP_USER));
}

// Puts the page in the tabs' display area, at its template's size.
void PlacePage(HWND sheet, HWND page) {
    const CDialogBase* dialog = ProgramDialogOf(page);
    if (!dialog) return;
    const DialogMetrics& metrics = MetricsFor(DpiOf(sheet));
    HWND tabs = PropSheet_GetTabControl(sheet);
    RECT area;
    GetWindowRect(tabs, &area);
    MapWindowPoints(nullptr, sheet, reinterpret_cast<POINT*>(&area), 2);
    TabCtrl_AdjustRect(tabs, FALSE, &area);
    SetWindowPos(page, nullptr, area.left, area.top, metrics.X(dialog->Template().width),
                 metrics.Y(dialog->Template().height), SWP_NOZORDER | SWP_NOACTIVATE);
}

// A page key is turning the page: the keyboard goes along from wherever it is.
bool gTurningByKey = false;

// The keyboard follows the page: where it was on the page that is now hidden (or on
// the sheet itself), or anywhere in the window when a page key turned the page, it
// goes to the first tab stop of the page shown, as Tab would put it there (the dialog
// manager selects a field's text), or to the tabs when that page has none, so that
// nothing typed reaches a page the user cannot see. It moves once the page has been
// filled: a list the fill enables is that first tab stop, and a text the fill sets
// would clear the selection. On the tabs it stays, as the arrow keys there turn the
// pages.
void BringKeyboardTo(HWND sheet, HWND page) {
    HWND focus = GetFocus();
    HWND tabs = PropSheet_GetTabControl(sheet);
    if (!focus || focus == tabs || IsChild(page, focus)) return;
    if (gTurningByKey ? GetAncestor(focus, GA_ROOT) != GetAncestor(sheet, GA_ROOT)
                      : focus != sheet && !IsChild(sheet, focus))
        return;
    HWND first = GetNextDlgTabItem(page, nullptr, FALSE);
    SendMessageW(GetAncestor(sheet, GA_ROOT), WM_NEXTDLGCTL,
                 WPARAM(first && IsChild(page, first) ? first : tabs), TRUE);
}

INT_PTR CALLBACK PageProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        auto* page =
            reinterpret_cast<CPropertyPage*>(reinterpret_cast<PROPSHEETPAGEW*>(lParam)->lParam);
        SetWindowLongPtrW(window, DWLP_USER, LONG_PTR(page));
        SetProgramDialog(window, page);
        page->Attach(HandleOf(window));
        RegisterTemplateControls(*page, window);
        page->UpdateData(FALSE);
        return TRUE;
    }
    CPropertyPage* page = PageOf(window);
    if (!page) return FALSE;
    switch (message) {
        case WM_COMMAND:
            page->OnCommand(LOWORD(wParam), HIWORD(wParam));
            return TRUE;
        case WM_NOTIFY:
            if (reinterpret_cast<NMHDR*>(lParam)->code == UINT(PSN_SETACTIVE)) {
                if (!gMakingPages) {
                    page->OnSetActive();
                    BringKeyboardTo(GetParent(window), window);
                }
                SetWindowLongPtrW(window, DWLP_MSGRESULT, 0);  // the page never refuses
                return TRUE;
            }
            return FALSE;
        default:
            return FALSE;
    }
}

// Before the sheet's window is made: a child without a frame of its own, whose
// controls take part in its parent's keyboard navigation.
int CALLBACK SheetCallback(HWND, UINT message, LPARAM lParam) {
    if (message == PSCB_PRECREATE) {
        auto* words = reinterpret_cast<uint16_t*>(lParam);
        const bool extended = words[1] == 0xFFFF;
        auto* styles = reinterpret_cast<DWORD*>(lParam + (extended ? 8 : 0));
        DWORD& style = extended ? styles[1] : styles[0];
        DWORD& exStyle = extended ? styles[0] : styles[1];
        style = (style & ~(WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME)) | WS_CHILD |
                WS_VISIBLE | DS_CONTROL;
        exStyle |= WS_EX_CONTROLPARENT;
    }
    return 0;
}

}  // namespace

bool TurnPageByKey(HWND sheet, MSG& message) {
    // The sheet takes only keys sent to itself or its children; from elsewhere in
    // the window (the main window's buttons) the key is handed to it as its own.
    MSG forSheet = message;
    if (forSheet.hwnd != sheet && !IsChild(sheet, forSheet.hwnd)) forSheet.hwnd = sheet;
    gTurningByKey = true;
    const bool handled = PropSheet_IsDialogMessage(sheet, &forSheet);
    gTurningByKey = false;
    return handled;
}

CPropertyPage::~CPropertyPage() {
    if (HWND window = ToHwnd(GetSafeHwnd())) {
        SetWindowLongPtrW(window, DWLP_USER, 0);
        SetProgramDialog(window, nullptr);
    }
}

void LayOutPropertySheet(HWND sheet, UINT dpi) {
    const DialogMetrics& metrics = MetricsFor(dpi);
    HWND tabs = PropSheet_GetTabControl(sheet);
    SendMessageW(tabs, WM_SETFONT, WPARAM(metrics.font), FALSE);
    SIZE largest{};
    for (int i = 0; HWND page = PropSheet_IndexToHwnd(sheet, i); ++i) {
        const CDialogBase* dialog = ProgramDialogOf(page);
        if (!dialog) continue;
        LayOutDialog(page, dialog->Template(), dpi);
        largest.cx = std::max(largest.cx, LONG(metrics.X(dialog->Template().width)));
        largest.cy = std::max(largest.cy, LONG(metrics.Y(dialog->Template().height)));
    }
    // The tabs around a display area of the largest page, the sheet around the tabs.
    const int margin = metrics.Scaled(kSheetMargin);
    RECT area{0, 0, largest.cx, largest.cy};
    TabCtrl_AdjustRect(tabs, TRUE, &area);
    OffsetRect(&area, margin - area.left, margin - area.top);
    SetWindowPos(tabs, nullptr, area.left, area.top, area.right - area.left, area.bottom - area.top,
                 SWP_NOZORDER | SWP_NOACTIVATE);
    SetWindowPos(sheet, nullptr, 0, 0, area.right + margin, area.bottom + margin,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    for (int i = 0; HWND page = PropSheet_IndexToHwnd(sheet, i); ++i) PlacePage(sheet, page);
    InvalidateRect(sheet, nullptr, TRUE);
}

CPropertySheet::CPropertySheet() : native_(std::make_unique<NativeSheet>()) {}

CPropertySheet::~CPropertySheet() {
    if (HWND sheet = ToHwnd(GetSafeHwnd())) ::DestroyWindow(sheet);
    RemoveModelessWindow(ToHwnd(hwnd_));
}

BOOL CPropertySheet::Create(CDialog* parent, uint32_t style) {
    std::vector<PROPSHEETPAGEW> pages;
    native_->pageTemplates.clear();
    for (CPropertyPage* page : pages_) {
        native_->pageTemplates.push_back(BuildDialogTemplateEx(page->Template()));
        PROPSHEETPAGEW p{};
        p.dwSize = sizeof p;
        p.dwFlags = PSP_DLGINDIRECT | PSP_PREMATURE;
        p.hInstance = ProgramInstance();
        p.pResource = reinterpret_cast<LPCDLGTEMPLATEW>(native_->pageTemplates.back().data());
        p.pfnDlgProc = PageProc;
        p.lParam = LPARAM(page);
        pages.push_back(p);
    }
    PROPSHEETHEADERW header{};
    header.dwSize = sizeof header;
    header.dwFlags =
        PSH_PROPSHEETPAGE | PSH_MODELESS | PSH_NOAPPLYNOW | PSH_USECALLBACK | PSH_NOCONTEXTHELP;
    header.hwndParent = ToHwnd(parent->Window());
    header.hInstance = ProgramInstance();
    header.nPages = UINT(pages.size());
    header.ppsp = pages.data();
    header.pfnCallback = SheetCallback;
    HWND sheet = reinterpret_cast<HWND>(PropertySheetW(&header));
    if (!sheet) return FALSE;
    Attach(HandleOf(sheet));
    AddPropertySheet(sheet);
    // A sheet makes a page when it is first shown (and not every system honours
    // PSP_PREMATURE): each page is shown once, unheard, so that all controls exist.
    gMakingPages = true;
    for (int i = GetPageCount() - 1; i >= 0; --i) PropSheet_SetCurSel(sheet, nullptr, i);
    gMakingPages = false;
    for (int id : {IDOK, IDCANCEL, int(IDHELP), 0x3021 /* Apply */})
        if (HWND button = GetDlgItem(sheet, id)) ShowWindow(button, SW_HIDE);
    // A sheet without a caption of its own keeps the system's unformatted "Properties
    // for %s" as its text, which a screen reader may read as its name: it has none.
    SetWindowTextW(sheet, L"");
    // The sheet's size follows from its tabs, at the parent's top-left corner.
    SetWindowPos(sheet, nullptr, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    LayOutPropertySheet(sheet, DpiOf(ToHwnd(parent->Window())));
    OnInitDialog();
    ShowWindow(sheet, style & WS_VISIBLE ? SW_SHOW : SW_HIDE);
    return TRUE;
}

BOOL CPropertySheet::SetActivePage(int index) {
    HWND sheet = ToHwnd(GetSafeHwnd());
    if (!sheet || index < 0 || index >= GetPageCount()) return FALSE;
    // Selecting the current page again activates it again.
    if (index == GetActiveIndex())
        PageActivated(index);
    else
        PropSheet_SetCurSel(sheet, nullptr, index);
    return TRUE;
}

int CPropertySheet::GetActiveIndex() const {
    HWND sheet = ToHwnd(GetSafeHwnd());
    return sheet ? int(PropSheet_HwndToIndex(sheet, PropSheet_GetCurrentPageHwnd(sheet))) : -1;
}

}  // namespace quellhart::ui
