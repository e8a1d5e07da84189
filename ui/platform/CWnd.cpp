#include "platform/CWnd.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>

#include "platform/CDialog.h"
#include "platform/SaveText.h"

namespace quellhart::ui {

void CWnd::SetWindowText(std::string_view text) {
    if (widget_) SetText(FromSaveText(text));
}

void CWnd::SetWindowTextPath(const std::string& path) {
    if (widget_) SetText(QFile::decodeName(QByteArray::fromStdString(path)));
}

std::string CWnd::GetWindowText(int maxCount) const {
    if (!widget_ || maxCount <= 0) return {};
    std::string bytes = ToSaveText(Text());
    if (bytes.size() > size_t(maxCount - 1)) bytes.resize(size_t(maxCount - 1));
    return bytes;
}

void CWnd::EnableWindow(BOOL enable) {
    if (widget_) widget_->setEnabled(enable != FALSE);
}

void CWnd::SetText(const QString& text) {
    if (auto* label = qobject_cast<QLabel*>(widget_.data()))
        label->setText(text);
    else if (auto* edit = qobject_cast<QLineEdit*>(widget_.data()))
        SetTextShowingStart(edit, text);
    else if (auto* button = qobject_cast<QAbstractButton*>(widget_.data()))
        button->setText(text);
    else if (auto* combo = qobject_cast<QComboBox*>(widget_.data()))
        SetEditTextShowingStart(combo, text);
    else if (auto* group = qobject_cast<QGroupBox*>(widget_.data()))
        group->setTitle(text);
    else if (widget_)
        widget_->setWindowTitle(text);
}

QString CWnd::Text() const {
    if (auto* label = qobject_cast<QLabel*>(widget_.data())) return label->text();
    if (auto* edit = qobject_cast<QLineEdit*>(widget_.data())) return edit->text();
    if (auto* button = qobject_cast<QAbstractButton*>(widget_.data())) return button->text();
    if (auto* combo = qobject_cast<QComboBox*>(widget_.data())) return combo->currentText();
    if (auto* group = qobject_cast<QGroupBox*>(widget_.data())) return group->title();
    return widget_ ? widget_->windowTitle() : QString();
}

void SetTextShowingStart(QLineEdit* edit, const QString& text) {
    edit->setText(text);
    edit->setCursorPosition(0);
}

void SetEditTextShowingStart(QComboBox* combo, const QString& text) {
    combo->setEditText(text);
    if (QLineEdit* edit = combo->lineEdit()) edit->setCursorPosition(0);
}

void DDX_Control(CDataExchange* exchange, int id, CWnd& control) {
    control.Attach(exchange->dialog->GetDlgItem(id));
}

}  // namespace quellhart::ui
