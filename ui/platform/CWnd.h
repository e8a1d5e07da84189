// Controls addressed by their template ids, with the few operations the editor's
// windows use. A CWnd does not own its widget: the dialog that built it does.
#pragma once

#include <QPointer>
#include <QWidget>
#include <string>
#include <string_view>

#include "platform/WinTypes.h"

class QComboBox;
class QLineEdit;

namespace quellhart::ui {

class CWnd {
public:
    CWnd() = default;
    virtual ~CWnd() = default;

    void Attach(QWidget* widget) { widget_ = widget; }
    QWidget* Widget() const { return widget_; }
    explicit operator bool() const { return widget_ != nullptr; }

    // Window text as Windows-1252 bytes.
    void SetWindowText(std::string_view text);
    // A file path, in the file system's own encoding rather than Windows-1252.
    void SetWindowTextPath(const std::string& path);
    // At most maxCount - 1 bytes, as read into a buffer of maxCount bytes.
    std::string GetWindowText(int maxCount) const;
    void EnableWindow(BOOL enable);

protected:
    virtual void SetText(const QString& text);
    virtual QString Text() const;

    QPointer<QWidget> widget_;
};

class CButton : public CWnd {};
class CStatic : public CWnd {};
class CEdit : public CWnd {};

// Binds a member to the control with `id` of the window being built.
class CDataExchange;
void DDX_Control(CDataExchange* exchange, int id, CWnd& control);

// A text put into a field by the program shows its start, as the framework's edit
// controls do; Qt would leave the cursor at the end and show the end of a long text.
void SetTextShowingStart(QLineEdit* edit, const QString& text);
void SetEditTextShowingStart(QComboBox* combo, const QString& text);

}  // namespace quellhart::ui
