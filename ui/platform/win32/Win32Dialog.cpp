// Dialogs on Win32: each template becomes an extended dialog template in memory and a
// modeless dialog of the system's. DoModal runs the dialog's own message loop, which
// also serves the keys of its buttons and the keyboard of modeless windows beside it
// (the help window), and disables the owner while it runs, as the system's modal
// dialogs do.
#include <deque>
#include <set>

#include "ui/platform/CDialog.h"
#include "ui/platform/win32/DialogLayout.h"
#include "ui/platform/win32/DialogTemplateEx.h"
#include "ui/platform/win32/Win32.h"
#include "ui/platform/win32/Win32Controls.h"

namespace quellhart::ui {
namespace {

// Runs one posted task of the dialog's.
constexpr UINT kRunTaskMessage = WM_APP + 1;

// The system menu as the framework's CMenu.
class Win32Menu : public CMenu {
public:
    explicit Win32Menu(HMENU menu) : menu_(menu) {}
    BOOL AppendMenu(unsigned flags, unsigned id, const std::string& text) override {
        return AppendMenuW(menu_, flags, id,
                           flags & MF_SEPARATOR ? nullptr : WideFromSaveText(text).c_str())
                   ? TRUE
                   : FALSE;
    }

private:
    HMENU menu_;
};

}  // namespace

struct NativeDialog {
    std::vector<uint32_t> templateBytes;
    bool ended = false;
    int result = 0;
    std::unique_ptr<Win32Menu> systemMenu;
    HACCEL accelerators = nullptr;
    std::vector<ACCEL> keys;
    std::set<int> keyButtons;
    std::function<void(const std::string&)> onDrop;
    std::deque<std::function<void()>> tasks;

    ~NativeDialog() {
        if (accelerators) DestroyAcceleratorTable(accelerators);
    }
};

namespace {

CDialog* DialogOf(HWND window) {
    return reinterpret_cast<CDialog*>(GetWindowLongPtrW(window, DWLP_USER));
}

INT_PTR CALLBACK DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        auto* dialog = reinterpret_cast<CDialog*>(lParam);
        SetWindowLongPtrW(window, DWLP_USER, LONG_PTR(dialog));
        dialog->Attach(HandleOf(window));
        SetProgramDialog(window, dialog);
        RegisterTemplateControls(*dialog, window);
        LayOutDialog(window, dialog->Template(), DpiOf(window));
        return dialog->OnInitDialog();
    }
    CDialog* dialog = DialogOf(window);
    if (!dialog) return FALSE;
    NativeDialog* native = dialog->Native();
    switch (message) {
        case WM_COMMAND: {
            const int id = LOWORD(wParam);
            // A key of a button's, from the accelerator table: a click, when it can be.
            if (HIWORD(wParam) == 1 && lParam == 0 && native->keyButtons.count(id)) {
                HWND button = GetDlgItem(window, id);
                if (button && IsWindowEnabled(button) && IsWindowVisible(button))
                    SendMessageW(button, BM_CLICK, 0, 0);
                return TRUE;
            }
            dialog->OnCommand(id, HIWORD(wParam));
            return TRUE;
        }
        case WM_SYSCOMMAND:
            dialog->OnSysCommand(unsigned(wParam), intptr_t(lParam));
            return TRUE;
        case WM_CLOSE:  // the close box and Alt+F4: the Cancel command
            dialog->OnCommand(IDCANCEL, BN_CLICKED);
            return TRUE;
        case WM_DROPFILES: {
            const auto drop = reinterpret_cast<HDROP>(wParam);
            const UINT length = DragQueryFileW(drop, 0, nullptr, 0);
            std::wstring path(length + 1, L'\0');
            DragQueryFileW(drop, 0, path.data(), length + 1);
            path.resize(length);
            DragFinish(drop);
            if (native->onDrop && !path.empty()) native->onDrop(Utf8FromWide(path));
            return TRUE;
        }
        case kRunTaskMessage:
            if (!native->tasks.empty()) {
                std::function<void()> task = std::move(native->tasks.front());
                native->tasks.pop_front();
                task();
            }
            return TRUE;
        case WM_DPICHANGED: {  // moved to a monitor of another scale
            const UINT dpi = LOWORD(wParam);
            LayOutDialog(window, dialog->Template(), dpi);
            LayOutPropertySheets(window, dpi);
            const auto* suggested = reinterpret_cast<const RECT*>(lParam);
            SetWindowPos(window, nullptr, suggested->left, suggested->top, 0, 0,
                         SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
            return TRUE;
        }
        case WM_DESTROY:
            dialog->OnDestroy();
            return FALSE;
        default:
            return FALSE;
    }
}

// The default button of the page or dialog that is shown in `root`: its template's,
// where it is visible.
HWND ShownDefaultButton(HWND root) {
    struct Search {
        HWND found = nullptr;
        static void In(HWND window, Search& search) {
            const CDialogBase* dialog = ProgramDialogOf(window);
            const int id = dialog ? dialog->Template().DefaultButtonId() : 0;
            HWND button = id ? GetDlgItem(window, id) : nullptr;
            if (!search.found && button && IsWindowVisible(button)) search.found = button;
        }
    } search;
    Search::In(root, search);
    EnumChildWindows(
        root,
        [](HWND child, LPARAM found) {
            Search::In(child, *reinterpret_cast<Search*>(found));
            return TRUE;
        },
        LPARAM(&search));
    return search.found;
}

// What the dialog manager sends when a button is pressed from the keyboard.
void PressButton(HWND button) {
    if (IsWindowEnabled(button))
        SendMessageW(GetParent(button), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(button), BN_CLICKED),
                     LPARAM(button));
}

// Enter, as a Windows user expects it of these windows: a focused push button is
// pressed; elsewhere the default button of the page or dialog shown (its
// template's), when it is enabled; otherwise nothing. Left to the dialog manager,
// Enter would send IDOK to the main window, which ends it, and every edit not yet
// committed with it. A field that takes Enter itself (an open list, a text of
// several lines) says so when asked for its dialog code, and keeps it.
bool PressEnter(MSG& message) {
    if (message.message != WM_KEYDOWN || message.wParam != VK_RETURN) return false;
    HWND root = GetAncestor(message.hwnd, GA_ROOT);
    if (!root || !ProgramDialogOf(root)) return false;
    const LRESULT code =
        SendMessageW(message.hwnd, WM_GETDLGCODE, message.wParam, LPARAM(&message));
    if (code & DLGC_WANTMESSAGE) return false;
    if (code & (DLGC_DEFPUSHBUTTON | DLGC_UNDEFPUSHBUTTON))
        PressButton(message.hwnd);
    else if (HWND button = ShownDefaultButton(root))
        PressButton(button);
    return true;
}

// The framework's key names: "Ctrl+O", "F1".
bool ParseKey(std::string_view keys, ACCEL& accel) {
    accel.fVirt = FVIRTKEY;
    if (keys.substr(0, 5) == "Ctrl+") {
        accel.fVirt |= FCONTROL;
        keys.remove_prefix(5);
    }
    if (keys.size() == 1 && keys[0] >= 'A' && keys[0] <= 'Z') {
        accel.key = WORD(keys[0]);
        return true;
    }
    if (keys.size() >= 2 && keys[0] == 'F') {
        const int n = std::stoi(std::string(keys.substr(1)));
        accel.key = WORD(VK_F1 + n - 1);
        return n >= 1 && n <= 24;
    }
    return false;
}

}  // namespace

void DispatchDialogMessage(CDialog& dialog, MSG& message) {
    HWND window = ToHwnd(dialog.Window());
    NativeDialog* native = dialog.Native();
    if (PressEnter(message)) return;
    if (native && native->accelerators &&
        TranslateAcceleratorW(window, native->accelerators, &message))
        return;
    if (IsModelessWindowMessage(message) || (window && IsDialogMessageW(window, &message))) return;
    TranslateMessage(&message);
    DispatchMessageW(&message);
}

CDialog::CDialog(const DialogTemplate& dialogTemplate, WindowHandle parent)
    : CDialogBase(dialogTemplate), parent_(parent) {}

// The window outlives no object of ours: its messages stop reaching this one first.
CDialog::~CDialog() {
    if (HWND window = ToHwnd(GetSafeHwnd())) {
        SetWindowLongPtrW(window, DWLP_USER, 0);
        SetProgramDialog(window, nullptr);
        ::DestroyWindow(window);
    }
}

BOOL CDialog::Create(WindowHandle parent) {
    native_ = std::make_unique<NativeDialog>();
    native_->templateBytes = BuildDialogTemplateEx(Template());
    HWND window = CreateDialogIndirectParamW(
        ProgramInstance(), reinterpret_cast<LPCDLGTEMPLATEW>(native_->templateBytes.data()),
        ToHwnd(parent), DialogProc, LPARAM(this));
    return window ? TRUE : FALSE;
}

int CDialog::DoModal() {
    HWND owner = ToHwnd(parent_);
    if (!Create(parent_)) return -1;
    HWND window = ToHwnd(Window());
    if (owner) ::EnableWindow(owner, FALSE);
    ShowWindow(window, SW_SHOW);
    MSG message;
    while (!native_->ended) {
        const BOOL got = GetMessageW(&message, nullptr, 0, 0);
        if (got == 0) {  // the program is asked to end: let the outer loop see it too
            PostQuitMessage(int(message.wParam));
            break;
        }
        if (got < 0) break;
        DispatchDialogMessage(*this, message);
    }
    const int result = native_->ended ? native_->result : IDCANCEL;
    if (owner) {
        ::EnableWindow(owner, TRUE);
        SetActiveWindow(owner);
    }
    DestroyWindow();
    return result;
}

void CDialog::DestroyWindow() {
    if (!native_) return;
    if (HWND window = ToHwnd(GetSafeHwnd())) ::DestroyWindow(window);  // OnDestroy on the way
    native_.reset();
    ForgetControls();
    Attach(nullptr);
}

void CDialog::EndDialog(int result) {
    if (!native_ || !GetSafeHwnd()) return;
    native_->ended = true;
    native_->result = result;
    ShowWindow(ToHwnd(Window()), SW_HIDE);
    // The modal loop looks at `ended` after each message: one more wakes it, wherever
    // this was called from.
    PostMessageW(ToHwnd(Window()), WM_NULL, 0, 0);
}

CMenu* CDialog::GetSystemMenu(BOOL revert) {
    if (!GetSafeHwnd()) return nullptr;
    HMENU menu = ::GetSystemMenu(ToHwnd(Window()), revert);
    if (!menu) return nullptr;
    native_->systemMenu = std::make_unique<Win32Menu>(menu);
    return native_->systemMenu.get();
}

void CDialog::SetIcon(IconHandle icon, BOOL bigIcon) {
    if (GetSafeHwnd())
        SendMessageW(ToHwnd(Window()), WM_SETICON, bigIcon ? ICON_BIG : ICON_SMALL, LPARAM(icon));
}

void CDialog::AddButtonKey(const char* keys, int buttonId) {
    ACCEL accel{};
    if (!native_ || !ParseKey(keys, accel)) return;
    accel.cmd = WORD(buttonId);
    native_->keys.push_back(accel);
    native_->keyButtons.insert(buttonId);
    if (native_->accelerators) DestroyAcceleratorTable(native_->accelerators);
    native_->accelerators =
        CreateAcceleratorTableW(native_->keys.data(), int(native_->keys.size()));
}

void CDialog::DragAcceptFiles(std::function<void(const std::string& path)> onDrop) {
    if (!native_ || !GetSafeHwnd()) return;
    native_->onDrop = std::move(onDrop);
    ::DragAcceptFiles(ToHwnd(Window()), TRUE);
}

void CDialog::PostTask(std::function<void()> task) {
    if (!native_ || !GetSafeHwnd()) return;
    native_->tasks.push_back(std::move(task));
    PostMessageW(ToHwnd(Window()), kRunTaskMessage, 0, 0);
}

void CDialog::DefaultSysCommand(unsigned id, intptr_t lParam) {
    if (GetSafeHwnd()) DefWindowProcW(ToHwnd(Window()), WM_SYSCOMMAND, id, LPARAM(lParam));
}

IconHandle LoadIcon(int resourceId) {
    return reinterpret_cast<IconHandle>(LoadImageW(ProgramInstance(), MAKEINTRESOURCEW(resourceId),
                                                   IMAGE_ICON, 0, 0, LR_DEFAULTSIZE | LR_SHARED));
}

}  // namespace quellhart::ui
