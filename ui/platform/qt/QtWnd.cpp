#include <QAbstractButton>
#include <QComboBox>
#include <QCoreApplication>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QScreen>
#include <QSet>
#include <algorithm>

#include "ui/platform/CWnd.h"
#include "ui/platform/qt/QtWindows.h"
#include "ui/platform/qt/SaveText.h"

namespace quellhart::ui {
namespace {

QSet<QWidget*>& LiveWidgets() {
    static QSet<QWidget*> live;
    return live;
}

// The number of characters LimitText allows to be typed into a line edit.
constexpr const char* kTypingLimit = "typingLimit";

void SetText(QWidget* widget, const QString& text) {
    if (auto* label = qobject_cast<QLabel*>(widget))
        label->setText(text);
    else if (auto* edit = qobject_cast<QLineEdit*>(widget))
        SetTextShowingStart(edit, text);
    else if (auto* button = qobject_cast<QAbstractButton*>(widget))
        button->setText(text);
    else if (auto* combo = qobject_cast<QComboBox*>(widget))
        SetEditTextShowingStart(combo, text);
    else if (auto* group = qobject_cast<QGroupBox*>(widget))
        group->setTitle(text);
    else
        widget->setWindowTitle(text);
}

QString Text(const QWidget* widget) {
    if (auto* label = qobject_cast<const QLabel*>(widget)) return label->text();
    if (auto* edit = qobject_cast<const QLineEdit*>(widget)) return edit->text();
    if (auto* button = qobject_cast<const QAbstractButton*>(widget)) return button->text();
    if (auto* combo = qobject_cast<const QComboBox*>(widget)) return combo->currentText();
    if (auto* group = qobject_cast<const QGroupBox*>(widget)) return group->title();
    return widget->windowTitle();
}

}  // namespace

WindowHandle HandleOf(QWidget* widget) {
    if (!widget) return nullptr;
    if (!LiveWidgets().contains(widget)) {
        LiveWidgets().insert(widget);
        QObject::connect(widget, &QObject::destroyed, [widget] { LiveWidgets().remove(widget); });
    }
    return reinterpret_cast<WindowHandle>(widget);
}

QWidget* ToWidget(WindowHandle window) {
    auto* widget = reinterpret_cast<QWidget*>(window);
    return LiveWidgets().contains(widget) ? widget : nullptr;
}

WindowHandle CWnd::GetSafeHwnd() const { return ToWidget(hwnd_) ? hwnd_ : nullptr; }

void CWnd::SetWindowText(std::string_view text) {
    if (QWidget* widget = ToWidget(hwnd_)) SetText(widget, FromSaveText(text));
}

void CWnd::SetWindowTextPath(const std::string& path) {
    QWidget* widget = ToWidget(hwnd_);
    if (!widget) return;
    const QString whole = QFile::decodeName(QByteArray::fromStdString(path));
    auto* label = qobject_cast<QLabel*>(widget);
    if (!label) return SetText(widget, whole);
    // A path too long for the label loses its middle, never the file's own name; the
    // whole path is the tooltip and what a screen reader adds to the shown text.
    // The metrics elide by fractional widths, so a text they cut can still come out a
    // pixel or two wider than the label once rounded: cut again until it fits.
    const QFontMetrics metrics = label->fontMetrics();
    const int room = label->contentsRect().width();
    QString shown = metrics.elidedText(whole, Qt::ElideMiddle, room);
    for (int budget = room - 1; budget > 0 && metrics.horizontalAdvance(shown) > room; --budget)
        shown = metrics.elidedText(whole, Qt::ElideMiddle, budget);
    label->setText(shown);
    label->setToolTip(whole);
    label->setAccessibleDescription(whole);
}

std::string CWnd::GetWindowText(int maxCount) const {
    const QWidget* widget = ToWidget(hwnd_);
    if (!widget || maxCount <= 0) return {};
    std::string bytes = ToSaveText(Text(widget));
    if (bytes.size() > size_t(maxCount - 1)) bytes.resize(size_t(maxCount - 1));
    return bytes;
}

std::string CWnd::UnstorableCharacter() const {
    const QWidget* widget = ToWidget(hwnd_);
    if (!widget) return {};
    // Typed composed or decomposed, a letter with marks is stored all the same.
    return SaveTextCodePage().FirstUnstorable(Text(widget).toStdString()).value_or("");
}

void CWnd::LimitText(int maxChars) {
    QWidget* widget = ToWidget(hwnd_);
    auto* edit = qobject_cast<QLineEdit*>(widget);
    if (auto* combo = qobject_cast<QComboBox*>(widget)) edit = combo->lineEdit();
    if (!edit) return;
    edit->setProperty(kTypingLimit, maxChars);
    edit->setMaxLength(std::max(maxChars, int(edit->text().size())));
}

void CWnd::SetFocus() {
    if (QWidget* widget = ToWidget(hwnd_)) widget->setFocus(Qt::OtherFocusReason);
}

void CEdit::SetSel(int start, int end) {
    auto* edit = qobject_cast<QLineEdit*>(ToWidget(hwnd_));
    if (!edit) return;
    const int last = end < 0 ? int(edit->text().size()) : end;
    edit->setSelection(start, last - start);
}

void CWnd::SetAccessibleDescription(std::string_view text) {
    if (QWidget* widget = ToWidget(hwnd_)) widget->setAccessibleDescription(FromSaveText(text));
}

void CWnd::EnableWindow(BOOL enable) {
    if (QWidget* widget = ToWidget(hwnd_)) widget->setEnabled(enable != FALSE);
}

BOOL CWnd::IsWindowEnabled() const {
    const QWidget* widget = ToWidget(hwnd_);
    return widget && widget->isEnabled();
}

BOOL CWnd::IsWindowVisible() const {
    const QWidget* widget = ToWidget(hwnd_);
    return widget && widget->isVisibleTo(widget->window());
}

void CWnd::CenterWindow() {
    QWidget* window = ToWidget(hwnd_);
    if (!window) return;
    QWidget* owner = window->parentWidget() ? window->parentWidget()->window() : nullptr;
    const QRect area = (owner ? owner : window)->screen()->availableGeometry();
    QRect frame = window->frameGeometry();
    frame.moveCenter((owner && owner->isVisible() ? owner->frameGeometry() : area).center());
    window->move(std::clamp(frame.left(), area.left(),
                            std::max(area.left(), area.right() + 1 - frame.width())),
                 std::clamp(frame.top(), area.top(),
                            std::max(area.top(), area.bottom() + 1 - frame.height())));
}

void CWnd::UpdateWindow() {
    QWidget* widget = ToWidget(hwnd_);
    if (!widget) return;
    // Painting needs the window mapped first; user input stays queued.
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    widget->repaint();
}

// As on Windows, the limit binds typing, not a text the program puts there, which
// shows whole (a save's text longer than its field).
void RoomForWholeText(QLineEdit* edit, const QString& text) {
    if (const QVariant limit = edit->property(kTypingLimit); limit.isValid())
        edit->setMaxLength(std::max(limit.toInt(), int(text.size())));
}

void SetTextShowingStart(QLineEdit* edit, const QString& text) {
    RoomForWholeText(edit, text);
    edit->setText(text);
    edit->setCursorPosition(0);
}

void SetEditTextShowingStart(QComboBox* combo, const QString& text) {
    if (QLineEdit* edit = combo->lineEdit()) RoomForWholeText(edit, text);
    combo->setEditText(text);
    if (QLineEdit* edit = combo->lineEdit()) edit->setCursorPosition(0);
}

}  // namespace quellhart::ui
