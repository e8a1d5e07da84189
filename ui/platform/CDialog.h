// Windows built from dialog templates: the modal or modeless dialog, and the page of
// a property sheet. Both route their controls' notifications through OnCommand and
// bind members to controls in DoDataExchange. How a template becomes a window is the
// toolkit's part (NativeDialog); what the editor's windows see is the same on each.
#pragma once

#include <functional>
#include <map>
#include <memory>
#include <string>

#include "res/DialogTemplate.h"
#include "ui/platform/CWnd.h"

namespace quellhart::ui {

using res::ControlKind;
using res::ControlTemplate;
using res::DialogTemplate;

class CDialogBase;
struct NativeDialog;

class CDataExchange {
public:
    CDialogBase* dialog;
    BOOL saveAndValidate;
};

class CDialogBase : public CWnd {
public:
    explicit CDialogBase(const DialogTemplate& dialogTemplate);
    ~CDialogBase() override;

    const DialogTemplate& Template() const { return template_; }
    // The control with `id`, or none.
    WindowHandle GetDlgItem(int id) const;

    // Routes a control's notification; what the window's table does not handle goes
    // to the default handling.
    virtual BOOL OnCommand(int id, int code);
    void UpdateData(BOOL saveAndValidate);

    // The toolkit's side: records each control it built from the template.
    void RegisterControl(int id, WindowHandle control) { controls_[id] = control; }
    void ForgetControls() { controls_.clear(); }

protected:
    virtual void DoDataExchange(CDataExchange*) {}
    // What a window does with a command nothing in its table handles.
    virtual BOOL DefaultCommand(int id, int code);

private:
    DialogTemplate template_;
    std::map<int, WindowHandle> controls_;
};

// A window's system menu: the framework's CMenu, as far as the editor uses it.
class CMenu {
public:
    virtual ~CMenu() = default;
    // Appends a separator, or a text item (Windows-1252, "&" marks the mnemonic).
    virtual BOOL AppendMenu(unsigned flags, unsigned id = 0, const std::string& text = {}) = 0;
};

// A dialog window: DoModal runs it with its own message loop, Create shows it
// modeless.
class CDialog : public CDialogBase {
public:
    CDialog(const DialogTemplate& dialogTemplate, WindowHandle parent);
    ~CDialog() override;

    int DoModal();
    BOOL Create(WindowHandle parent = nullptr);
    void DestroyWindow();
    void EndDialog(int result);

    WindowHandle Window() const { return GetSafeHwnd(); }
    // The window's system menu; its items deliver OnSysCommand.
    CMenu* GetSystemMenu(BOOL revert);
    void SetIcon(IconHandle icon, BOOL bigIcon);

    // Pressing `keys` ("Ctrl+O", "F1") while the window or one of its controls has the
    // focus clicks the button `buttonId`, which does nothing when it is disabled.
    void AddButtonKey(const char* keys, int buttonId);
    // A file dropped on the window from a file manager: its path, in the file system's
    // encoding.
    void DragAcceptFiles(std::function<void(const std::string& path)> onDrop);
    // Runs `task` once the window's message loop runs, after what is already queued.
    void PostTask(std::function<void()> task);

    virtual BOOL OnInitDialog();
    // The toolkit's side: the window's messages.
    virtual void OnSysCommand(unsigned id, intptr_t lParam);
    virtual void OnDestroy() {}
    NativeDialog* Native() const { return native_.get(); }

protected:
    BOOL DefaultCommand(int id, int code) override;
    // The system's own handling of the command, with the message's second parameter
    // unchanged: for the keyboard's menu command (Alt+Space) it is the key pressed.
    void DefaultSysCommand(unsigned id, intptr_t lParam);

private:
    WindowHandle parent_;
    std::unique_ptr<NativeDialog> native_;
};

// The icon with this resource number (128 is the program's).
IconHandle LoadIcon(int resourceId);

}  // namespace quellhart::ui
