// A line edit as a screen reader sees it, in place of Qt's own description of it,
// which differs in one thing: Qt 6.4 reports the text attributes at an offset as a run
// from that offset to the same offset, empty, where AT-SPI means the run of text that
// shares them. Orca, which splits a line into runs by their language before it speaks
// it, then ends the last run one character short: a field holding "Bob" was read "Bo"
// when the keyboard entered it. Here one run covers the whole text, which has no
// attributes of its own. Everything else is what Qt says of a line edit.
#include "ui/platform/qt/LineEditAccessible.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QFontMetrics>
#include <QLineEdit>

namespace quellhart::ui {
namespace {

class LineEditAccessible : public QAccessibleWidget,
                           public QAccessibleTextInterface,
                           public QAccessibleEditableTextInterface {
public:
    explicit LineEditAccessible(QLineEdit* edit)
        : QAccessibleWidget(edit, QAccessible::EditableText) {}

    void* interface_cast(QAccessible::InterfaceType type) override {
        if (type == QAccessible::TextInterface) return static_cast<QAccessibleTextInterface*>(this);
        if (type == QAccessible::EditableTextInterface)
            return static_cast<QAccessibleEditableTextInterface*>(this);
        return QAccessibleWidget::interface_cast(type);
    }

    QAccessible::State state() const override {
        QAccessible::State state = QAccessibleWidget::state();
        if (Edit()->isReadOnly())
            state.readOnly = true;
        else
            state.editable = true;
        if (Edit()->echoMode() != QLineEdit::Normal) state.passwordEdit = true;
        state.selectableText = true;
        return state;
    }

    QString text(QAccessible::Text kind) const override {
        if (kind == QAccessible::Value) return Shown();
        QString said = QAccessibleWidget::text(kind);
        if (kind == QAccessible::Name && said.isEmpty()) said = Edit()->placeholderText();
        return said;
    }
    void setText(QAccessible::Text kind, const QString& text) override {
        if (kind == QAccessible::Value && !Edit()->isReadOnly())
            Edit()->setText(text);
        else
            QAccessibleWidget::setText(kind, text);
    }

    // QAccessibleTextInterface
    void selection(int index, int* start, int* end) const override {
        *start = *end = 0;
        if (index != 0 || !Edit()->hasSelectedText()) return;
        *start = Edit()->selectionStart();
        *end = *start + int(Edit()->selectedText().size());
    }
    int selectionCount() const override { return Edit()->hasSelectedText() ? 1 : 0; }
    void addSelection(int start, int end) override { setSelection(0, start, end); }
    void removeSelection(int index) override {
        if (index == 0) Edit()->deselect();
    }
    void setSelection(int index, int start, int end) override {
        if (index == 0) Edit()->setSelection(start, end - start);
    }
    int cursorPosition() const override { return Edit()->cursorPosition(); }
    void setCursorPosition(int position) override { Edit()->setCursorPosition(position); }
    QString text(int start, int end) const override { return Shown().mid(start, end - start); }
    int characterCount() const override { return int(Shown().size()); }
    QRect characterRect(int offset) const override {
        // Measured from where the cursor is shown, which takes the field's scrolling in.
        const QFontMetrics metrics(Edit()->font());
        const QString shown = Shown();
        const QRect cursor = Edit()->inputMethodQuery(Qt::ImCursorRectangle).toRect();
        const int x = cursor.center().x() + metrics.horizontalAdvance(shown.left(offset)) -
                      metrics.horizontalAdvance(shown.left(Edit()->cursorPosition()));
        const int width = offset < shown.size() ? metrics.horizontalAdvance(shown.at(offset)) : 0;
        return QRect(Edit()->mapToGlobal(QPoint(x, cursor.top())), QSize(width, cursor.height()));
    }
    int offsetAtPoint(const QPoint& point) const override {
        return Edit()->cursorPositionAt(Edit()->mapFromGlobal(point));
    }
    void scrollToSubstring(int, int end) override { Edit()->setCursorPosition(end); }
    QString attributes(int, int* start, int* end) const override {
        *start = 0;
        *end = characterCount();
        return {};
    }

    // QAccessibleEditableTextInterface
    void deleteText(int start, int end) override { replaceText(start, end, {}); }
    void insertText(int offset, const QString& text) override { replaceText(offset, offset, text); }
    void replaceText(int start, int end, const QString& text) override {
        if (Edit()->isReadOnly()) return;
        Edit()->setText(Edit()->text().replace(start, end - start, text));
    }

private:
    QLineEdit* Edit() const { return static_cast<QLineEdit*>(widget()); }
    // A password field's text is never told, only what it shows.
    QString Shown() const {
        return Edit()->echoMode() == QLineEdit::Normal ? Edit()->text() : Edit()->displayText();
    }
};

QAccessibleInterface* LineEditAccessibleFor(const QString& className, QObject* object) {
    auto* edit = qobject_cast<QLineEdit*>(object);
    if (!edit || className != QLatin1String("QLineEdit")) return nullptr;
    return new LineEditAccessible(edit);
}

}  // namespace

void UseLineEditAccessible() {
    static const bool installed = [] {
        QAccessible::installFactory(LineEditAccessibleFor);
        return true;
    }();
    (void)installed;
}

}  // namespace quellhart::ui
