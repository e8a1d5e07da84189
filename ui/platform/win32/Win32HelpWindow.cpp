// The help window on Win32: a dialog of the program's own, with the text in a
// read-only edit field that the keyboard can scroll and read, and its buttons below.
// The text is the same HTML as everywhere, laid out as plain text.
#include <cctype>

#include "codepage/CodePage.h"
#include "res/DialogTemplates.h"
#include "ui/platform/CDialog.h"
#include "ui/platform/HelpWindow.h"
#include "ui/platform/win32/Win32.h"

namespace quellhart::ui {
namespace {

constexpr int kTextId = 100;
constexpr int kFirstButtonId = 101;
constexpr uint32_t kMultiLine = ES_MULTILINE | ES_AUTOVSCROLL;

std::string Replace(std::string text, const std::string& from, const std::string& to) {
    for (size_t at = 0; (at = text.find(from, at)) != std::string::npos; at += to.size())
        text.replace(at, from.size(), to);
    return text;
}

// The HTML of the help text as plain text with Windows line ends: headings and
// paragraphs apart, table rows on lines of their own, white space folded.
std::string PlainText(const std::string& html) {
    std::string out;
    bool space = false;
    for (size_t i = 0; i < html.size(); ++i) {
        if (html[i] == '<') {
            const size_t end = html.find('>', i);
            if (end == std::string::npos) break;
            const std::string tag = html.substr(i + 1, end - i - 1);
            i = end;
            // Blocks start on lines of their own; inline tags keep the spaces around.
            const bool block = tag == "p" || tag == "h2" || tag == "h3";
            const bool line = tag == "tr" || tag == "br";
            if (block && !out.empty()) out += "\r\n\r\n";
            if (line) out += "\r\n";
            if (tag == "/td") out += "\t";
            if (block || line || tag == "/td") space = false;
            continue;
        }
        if (std::isspace(static_cast<unsigned char>(html[i]))) {
            space = true;
            continue;
        }
        if (space && !out.empty() && out.back() != '\n' && out.back() != '\t') out += ' ';
        space = false;
        out += html[i];
    }
    for (const auto& [entity, text] :
         {std::pair{"&nbsp;", " "}, {"&lt;", "<"}, {"&gt;", ">"}, {"&quot;", "\""}, {"&amp;", "&"}})
        out = Replace(out, entity, text);
    return out;
}

res::DialogTemplate HelpTemplate(const std::string& title, const std::vector<HelpButton>& buttons) {
    res::DialogTemplate t{0,   SaveTextCodePage().Encode(title),
                          0,   0,
                          320, 300,
                          {},  WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_SETFONT | DS_CENTER};
    t.controls.push_back({kTextId, res::ControlKind::Edit, "", 7, 7, 306, 262,
                          kMultiLine | ES_READONLY | WS_VSCROLL | WS_BORDER | WS_TABSTOP});
    // The buttons and "Close" share the row beneath the text evenly, 4 units apart.
    const int count = int(buttons.size()) + 1;
    const int width = (306 - 4 * (count - 1)) / count;
    int x = 7;
    for (size_t i = 0; i < buttons.size(); ++i, x += width + 4)
        t.controls.push_back({kFirstButtonId + int(i), res::ControlKind::Button,
                              SaveTextCodePage().Encode(buttons[i].text), x, 277, width, 16,
                              WS_TABSTOP});
    t.controls.push_back(
        {IDCANCEL, res::ControlKind::Button, "Close", x, 277, width, 16, WS_TABSTOP});
    return t;
}

}  // namespace

class HelpDialog : public CDialog {
public:
    HelpDialog(res::DialogTemplate t, std::vector<HelpButton> buttons)
        : CDialog(t, nullptr), buttons_(std::move(buttons)) {}
    BOOL OnCommand(int id, int code) override {
        const int button = id - kFirstButtonId;
        if (code == BN_CLICKED && button >= 0 && button < int(buttons_.size())) {
            buttons_[size_t(button)].onClick();
            return TRUE;
        }
        return CDialog::OnCommand(id, code);
    }
    void OnDestroy() override { RemoveModelessWindow(ToHwnd(Window())); }

private:
    std::vector<HelpButton> buttons_;
};

struct NativeHelpWindow {
    std::unique_ptr<HelpDialog> dialog;
};

HelpWindow::HelpWindow(WindowHandle owner, const std::string& title, const std::string& html,
                       std::vector<HelpButton> buttons)
    : native_(std::make_unique<NativeHelpWindow>()) {
    res::DialogTemplate t = HelpTemplate(title, buttons);
    native_->dialog = std::make_unique<HelpDialog>(std::move(t), std::move(buttons));
    HelpDialog& dialog = *native_->dialog;
    dialog.Create(owner);
    // The program's icon, as the main window's: a dialog has none of its own.
    const IconHandle icon = LoadIcon(res::IDI_MAINFRAME);
    dialog.SetIcon(icon, TRUE);
    dialog.SetIcon(icon, FALSE);
    HWND window = ToHwnd(dialog.Window());
    SetDlgItemTextW(window, kTextId, WideFromUtf8(PlainText(html)).c_str());
    AddModelessWindow(window);
}

HelpWindow::~HelpWindow() = default;

void HelpWindow::Show() {
    HWND window = ToHwnd(native_->dialog->Window());
    if (!window) return;
    ShowWindow(window, SW_SHOW);
    SetForegroundWindow(window);
    SetFocus(GetDlgItem(window, kTextId));
}

WindowHandle HelpWindow::Handle() const { return native_->dialog->Window(); }

}  // namespace quellhart::ui
