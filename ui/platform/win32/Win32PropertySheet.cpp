// The property sheet is the system's (comctl32), made a child of the main window
// before it is created, with its own OK, Cancel, Apply and Help buttons hidden and
// its size cut to its tabs. Every page is created with the sheet, so that its
// controls exist from the start, and hears PSN_SETACTIVE whenever it becomes current.
#include "platform/CPropertySheet.h"
#include "platform/win32/DialogTemplateEx.h"
#include "platform/win32/Win32.h"
#include "platform/win32/Win32Controls.h"

namespace quellhart::ui {

struct NativeSheet {
    std::vector<std::vector<uint32_t>> pageTemplates;
};

namespace {

// The margin around the tabs, in pixels.
constexpr int kSheetMargin = 4;

// While the sheet makes its pages, their activations are not the user's.
bool gMakingPages = false;

CPropertyPage* PageOf(HWND page) {
    return reinterpret_cast<CPropertyPage*>(GetWindowLongPtrW(page, DWLP_USER));
}

INT_PTR CALLBACK PageProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        auto* page =
            reinterpret_cast<CPropertyPage*>(reinterpret_cast<PROPSHEETPAGEW*>(lParam)->lParam);
        SetWindowLongPtrW(window, DWLP_USER, LONG_PTR(page));
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
                if (!gMakingPages) page->OnSetActive();
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

CPropertyPage::~CPropertyPage() {
    if (HWND window = ToHwnd(GetSafeHwnd())) SetWindowLongPtrW(window, DWLP_USER, 0);
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
    // The sheet's size follows from its tabs, at the parent's top-left corner.
    RECT tabs;
    GetWindowRect(PropSheet_GetTabControl(sheet), &tabs);
    MapWindowPoints(nullptr, sheet, reinterpret_cast<POINT*>(&tabs), 2);
    SetWindowPos(sheet, nullptr, 0, 0, tabs.right + kSheetMargin, tabs.bottom + kSheetMargin,
                 SWP_NOZORDER | SWP_NOACTIVATE);
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
