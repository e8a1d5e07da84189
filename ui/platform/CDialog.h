// Windows built from dialog templates: the modal or modeless dialog, and the page of
// a property sheet. Both route their controls' notifications through OnCommand and
// bind members to controls in DoDataExchange.
#pragma once

#include <QLabel>
#include <QPointer>
#include <map>
#include <memory>
#include <string>

#include "platform/CWnd.h"
#include "platform/DialogTemplate.h"

class QDialog;

namespace quellhart::ui {

class CDialogBase;
class SystemMenu;

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
    QWidget* GetDlgItem(int id) const;

    // Routes a control's notification; what the window's table does not handle goes
    // to the default handling. Tests send commands through it.
    virtual BOOL OnCommand(int id, int code);
    // The command a click on the control `id` sends.
    BOOL SendCommand(int id, int code = BN_CLICKED) { return OnCommand(id, code); }

    void UpdateData(BOOL saveAndValidate);

protected:
    virtual void DoDataExchange(CDataExchange*) {}
    // What a window does with a command nothing in its table handles.
    virtual BOOL DefaultCommand(int id, int code);
    // Builds the template's controls on `host` and routes their notifications.
    void BuildControls(QWidget* host);

private:
    static void TieCaption(QLabel* caption, QWidget* control);

    DialogTemplate template_;
    std::map<int, QPointer<QWidget>> controls_;
};

// A dialog window: DoModal runs it with its own message loop, Create shows it
// modeless.
class CDialog : public CDialogBase {
public:
    CDialog(const DialogTemplate& dialogTemplate, QWidget* parent);
    ~CDialog() override;

    int DoModal();
    BOOL Create(QWidget* parent = nullptr);
    void DestroyWindow();
    void EndDialog(int result);

    QDialog* Window() const;
    // The window's system menu: reachable with Alt+Space and a right click on the
    // window's background; its items deliver OnSysCommand.
    SystemMenu* GetSystemMenu(BOOL revert);
    void SendSysCommand(unsigned id, intptr_t lParam = 0) { OnSysCommand(id, lParam); }

    virtual BOOL OnInitDialog();

protected:
    virtual void OnSysCommand(unsigned id, intptr_t lParam);
    virtual void OnDestroy() {}
    BOOL DefaultCommand(int id, int code) override;
    void DefaultSysCommand(unsigned id);

private:
    void BuildWindow(QWidget* parent);

    QWidget* parent_;
    std::unique_ptr<QDialog> window_;
    std::unique_ptr<SystemMenu> systemMenu_;
};

}  // namespace quellhart::ui
