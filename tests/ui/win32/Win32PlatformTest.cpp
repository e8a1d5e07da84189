// What only the Win32 build has: the windows the system made from the extended
// templates carry the templates' styles, keep their Tab order, and a screen reader
// names every field by its caption through the system's accessibility (oleacc).
// clang-format off
// First: it brings <windows.h> and undefines its macros that the project's headers
// define again as constants; <oleacc.h> would bring them back too late.
#include "ui/platform/win32/Win32.h"
// clang-format on
#include <oleacc.h>
#include <shlobj.h>

#include <algorithm>

#include "res/DialogTemplates.h"
#include "tests/ui/GuiTestBase.h"

namespace quellhart::test {
namespace {

class Win32WindowTest : public GuiTest {
protected:
    // The pages and the main window, each with its template.
    std::vector<std::pair<ui::CDialogBase*, const res::DialogTemplate*>> Windows() {
        return {{&main, &res::MainTemplate()},
                {&Held(main).PlayerPage(), &res::PlayerPageTemplate()},
                {&Held(main).GlobPage(), &res::GlobalsPageTemplate()}};
    }
};

TEST_F(Win32WindowTest, ControlsCarryTheirTemplatesStyles) {
    for (const auto& [window, t] : Windows()) {
        for (const res::ControlTemplate& c : t->controls) {
            if (c.id == -1) continue;
            HWND control = ui::ToHwnd(window->GetDlgItem(c.id));
            ASSERT_NE(control, nullptr) << c.id;
            // The list and the button change their enabled state as the program runs; a
            // list keeps its scroll bar on its drop-down part; the dialog manager draws a
            // control's border as a sunken edge.
            uint32_t expected = c.style & ~WS_DISABLED;
            if (c.kind == res::ControlKind::ComboBox) expected &= ~WS_VSCROLL;
            uint32_t expectedEx = c.exStyle;
            uint32_t style = uint32_t(GetWindowLongW(control, GWL_STYLE));
            const auto exStyle = uint32_t(GetWindowLongW(control, GWL_EXSTYLE));
            if (exStyle & WS_EX_CLIENTEDGE) style |= WS_BORDER;
            EXPECT_EQ(style & expected, expected) << c.id;
            EXPECT_EQ(exStyle & expectedEx, expectedEx) << c.id;
        }
    }
    HWND mainWindow = ui::ToHwnd(main.Window());
    EXPECT_TRUE(GetWindowLongW(mainWindow, GWL_EXSTYLE) & WS_EX_APPWINDOW);
    EXPECT_EQ(GetWindowLongW(mainWindow, GWL_STYLE) & (WS_MINIMIZEBOX | WS_MAXIMIZEBOX), 0);
}

TEST_F(Win32WindowTest, TabVisitsThePlayerFieldsInTemplateOrder) {
    ClickOpen(WriteSave(StandardSave()));  // the lists take part once enabled
    HWND page = ui::ToHwnd(Held(main).PlayerPage().GetSafeHwnd());
    std::vector<int> order;
    HWND control = GetNextDlgTabItem(page, nullptr, ui::FALSE);
    for (int i = 0; i < 5 && control; ++i, control = GetNextDlgTabItem(page, control, ui::FALSE))
        order.push_back(GetDlgCtrlID(control));
    EXPECT_EQ(order, (std::vector<int>{IDC_PLAYER_NAME, IDC_PLAYER_RACE, IDC_PLAYER_CLASS,
                                       IDC_PLAYER_HEAD, IDC_PLAYER_HAIR}));
}

// The name a screen reader gives the control, as oleacc tells it.
std::string AccessibleName(HWND control) {
    IAccessible* accessible = nullptr;
    if (FAILED(AccessibleObjectFromWindow(control, DWORD(OBJID_CLIENT), __uuidof(IAccessible),
                                          reinterpret_cast<void**>(&accessible))))
        return "(no accessible object)";
    VARIANT self;
    VariantInit(&self);
    self.vt = VT_I4;
    self.lVal = CHILDID_SELF;
    BSTR name = nullptr;
    std::string result;
    if (SUCCEEDED(accessible->get_accName(self, &name)) && name) {
        result = ui::SaveTextFromWide(name);
        SysFreeString(name);
    }
    accessible->Release();
    return result;
}

// Every edit field, read-only or not. (Wine's oleacc names lists and value labels by
// their own text, where Windows names a list by its caption too.)
TEST_F(Win32WindowTest, AScreenReaderNamesEveryFieldByItsCaption) {
    CoInitialize(nullptr);
    ClickOpen(WriteSave(StandardSave()));
    ShowPage(1);
    int named = 0;
    for (const auto& [window, t] : Windows()) {
        for (const res::ControlTemplate& caption : t->controls) {
            const auto field =
                std::find_if(t->controls.begin(), t->controls.end(),
                             [&](const auto& c) { return c.id == caption.labelFor; });
            if (caption.labelFor == 0 || field->kind != res::ControlKind::Edit) continue;
            EXPECT_EQ(AccessibleName(ui::ToHwnd(window->GetDlgItem(field->id))), caption.text)
                << field->id;
            ++named;
        }
    }
    EXPECT_EQ(named, 11);
    CoUninitialize();
}

// A key of a button's reaches the window as the accelerator's command: a click when
// the button is enabled, nothing when it is not.
TEST_F(Win32WindowTest, KeysPressOnlyEnabledButtons) {
    const auto pressCtrlS = [&] {
        SendMessageW(ui::ToHwnd(main.Window()), WM_COMMAND, MAKEWPARAM(IDC_COMMIT_CHANGES, 1), 0);
    };
    ClickOpen(WriteSave(StandardSave()));
    Control(main, IDC_COMMIT_CHANGES).EnableWindow(ui::FALSE);
    pressCtrlS();
    EXPECT_TRUE(prompts->messages.empty());
    Control(main, IDC_COMMIT_CHANGES).EnableWindow(ui::TRUE);
    prompts->messageAnswers = {ui::IDNO};
    pressCtrlS();
    ASSERT_EQ(prompts->messages.size(), 1u);
    EXPECT_EQ(prompts->messages[0].caption, "Please Confirm");
}

// A save another program holds open without sharing it (as a game writing it does):
// the error on open says the system's reason, as a commit's does.
TEST_F(Win32WindowTest, ASaveHeldByAnotherSaysWhyItCannotOpen) {
    const std::string path = WriteSave(StandardSave());
    HANDLE held = CreateFileW(ui::WideFromUtf8(path).c_str(), GENERIC_READ | GENERIC_WRITE, 0,
                              nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    ClickOpen(path);
    CloseHandle(held);
    ASSERT_EQ(prompts->messages.size(), 1u);
    EXPECT_EQ(prompts->messages[0].caption, "Error");
    EXPECT_NE(prompts->messages[0].details.find(path), std::string::npos)
        << prompts->messages[0].text << " / " << prompts->messages[0].details;
    EXPECT_EQ(Held(main).Document(), nullptr);
}

// Alt+Space reaches the window as the keyboard's menu command with the space as its
// second parameter: the system menu opens (dismissed here once it is up).
TEST_F(Win32WindowTest, AltSpaceOpensTheSystemMenu) {
    HWND window = ui::ToHwnd(main.Window());
    static bool menuOpened;
    menuOpened = false;
    SetTimer(window, 1, 50, [](HWND owner, UINT, UINT_PTR id, DWORD) {
        // A menu shown is a window of the system's menu class.
        HWND popup = FindWindowW(L"#32768", nullptr);
        menuOpened = popup && IsWindowVisible(popup);
        KillTimer(owner, id);
        EndMenu();
    });
    SendMessageW(window, WM_SYSCOMMAND, SC_KEYMENU, ' ');
    KillTimer(window, 1);
    EXPECT_TRUE(menuOpened);
}

// Enter on an open list is the list's: it closes the list on the entry shown, and
// Confirm Change is not pressed.
TEST_F(Win32WindowTest, EnterOnAnOpenListIsTheLists) {
    ClickOpen(WriteSave(StandardSave()));
    ShowPage(1);
    Type(Held(main).GlobPage(), IDC_GLOB_VALUE, "7.25");
    Focus(Held(main).GlobPage(), IDC_GLOB_LIST);
    HWND list = ui::ToHwnd(Held(main).GlobPage().GetDlgItem(IDC_GLOB_LIST));
    SendMessageW(list, CB_SHOWDROPDOWN, ui::TRUE, 0);
    Press(main, Key::Enter);
    EXPECT_FALSE(SendMessageW(list, CB_GETDROPPEDSTATE, 0, 0));
    EXPECT_EQ(Text(Held(main).GlobPage(), IDC_GLOB_VALUE), "7.25");
}

// What the shell sends when a file from Explorer is dropped on the window.
TEST_F(Win32WindowTest, ADroppedFileOpensAsFromOpenFile) {
    const std::string path = WriteSave(StandardSave());
    const std::wstring wide = ui::WideFromUtf8(path) + L'\0';  // the list ends with a second zero
    HGLOBAL drop = GlobalAlloc(GHND, sizeof(DROPFILES) + (wide.size() + 1) * sizeof(wchar_t));
    auto* files = static_cast<DROPFILES*>(GlobalLock(drop));
    files->pFiles = sizeof(DROPFILES);
    files->fWide = ui::TRUE;
    std::copy(wide.begin(), wide.end(), reinterpret_cast<wchar_t*>(files + 1));
    GlobalUnlock(drop);
    SendMessageW(ui::ToHwnd(main.Window()), WM_DROPFILES, WPARAM(drop), 0);  // frees it
    ASSERT_NE(Held(main).Document(), nullptr);
    EXPECT_EQ(Label(), path);
    EXPECT_EQ(Text(Held(main).PlayerPage(), IDC_PLAYER_NAME), "Bob");
}

// "Active File" cuts a long path in the middle (the system's path ellipsis) and shows
// the whole path as its tooltip.
TEST_F(Win32WindowTest, TheActiveFileShowsTheWholePathAsItsTooltip) {
    const std::string path = WriteSave(StandardSave());
    ClickOpen(path);
    HWND tip = ui::TooltipOf(main.GetDlgItem(IDC_ACTIVE_FILE));
    ASSERT_NE(tip, nullptr);
    wchar_t text[1024] = {};
    TTTOOLINFOW tool{};
    tool.cbSize = sizeof tool;
    tool.hwnd = ui::ToHwnd(main.Window());
    tool.uId = reinterpret_cast<UINT_PTR>(ui::ToHwnd(main.GetDlgItem(IDC_ACTIVE_FILE)));
    tool.lpszText = text;
    SendMessageW(tip, TTM_GETTEXTW, 1024, reinterpret_cast<LPARAM>(&tool));
    EXPECT_EQ(ui::Utf8FromWide(text), path);
}

// The help window lays out the one HTML text as plain text: words apart where tags
// stood between them, every key listed, in the words of Windows.
TEST_F(Win32WindowTest, HelpReadsAsPlainText) {
    main.ShowHelp();
    const std::string text =
        ui::Utf8FromWide(ui::WindowTextOf(GetDlgItem(ui::ToHwnd(main.HelpWindow()), 100)));
    EXPECT_NE(text.find("Click OpenFile and choose a save"), std::string::npos) << text;
    EXPECT_NE(text.find("Ctrl+S  \tCommitChanges"), std::string::npos) << text;
    EXPECT_EQ(text.find('<'), std::string::npos) << text;
    // It speaks of Windows: Explorer and its screen readers, not the Linux desktop's.
    for (const char* phrase : {"from Explorer", "Narrator", "NVDA", "here Windows-1252"})
        EXPECT_NE(text.find(phrase), std::string::npos) << phrase;
    for (const char* phrase : {"file manager", "Orca"})
        EXPECT_EQ(text.find(phrase), std::string::npos) << phrase;
    // The program's icon in its title bar and its task-switcher entry.
    HWND help = ui::ToHwnd(main.HelpWindow());
    for (WPARAM size : {ICON_BIG, ICON_SMALL})
        EXPECT_EQ(SendMessageW(help, WM_GETICON, size, 0),
                  LRESULT(ui::LoadIcon(res::IDI_MAINFRAME)))
            << size;
}

}  // namespace
}  // namespace quellhart::test
