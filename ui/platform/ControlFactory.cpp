#include "platform/ControlFactory.h"

#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QRegularExpressionValidator>

#include "platform/DialogUnits.h"
#include "platform/Resources.h"
#include "platform/WinTypes.h"

namespace quellhart::ui {
namespace {

QLabel* CreateStatic(const ControlTemplate& c, QWidget* parent) {
    auto* label = new QLabel(QString::fromStdString(c.text), parent);
    Qt::Alignment alignment = c.style & SS_CENTER ? Qt::AlignHCenter : Qt::AlignLeft;
    alignment |= c.style & (SS_CENTERIMAGE | SS_SUNKEN) ? Qt::AlignVCenter : Qt::AlignTop;
    label->setAlignment(alignment);
    label->setWordWrap(!(c.style & SS_CENTERIMAGE));
    label->setTextFormat(Qt::PlainText);
    if (c.style & (SS_SUNKEN | WS_BORDER)) label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    return label;
}

QLineEdit* CreateEdit(const ControlTemplate& c, QWidget* parent) {
    auto* edit = new QLineEdit(QString::fromStdString(c.text), parent);
    edit->setReadOnly(c.style & ES_READONLY);
    if (c.style & ES_CENTER) edit->setAlignment(Qt::AlignCenter);
    if (c.style & ES_NUMBER)
        edit->setValidator(new QRegularExpressionValidator(QRegularExpression("[0-9]*"), edit));
    return edit;
}

QPushButton* CreateButton(const ControlTemplate& c, QWidget* parent) {
    auto* button = new QPushButton(QString::fromStdString(c.text), parent);
    // Only the template's default button answers Enter.
    button->setAutoDefault(false);
    button->setDefault(c.style & BS_DEFPUSHBUTTON);
    return button;
}

QComboBox* CreateComboBox(const ControlTemplate& c, QWidget* parent, const DialogUnits& units) {
    auto* combo = new QComboBox(parent);
    combo->setEditable(c.style & CBS_DROPDOWN);
    // The field keeps what the user types, byte for byte: no completion. Without a
    // completer, Enter also matches an entry only when the text equals it exactly,
    // case included.
    if (combo->isEditable()) combo->setCompleter(nullptr);
    combo->setInsertPolicy(QComboBox::NoInsert);
    combo->setProperty("sorted", bool(c.style & CBS_SORT));
    // Some styles drop a list that cannot be typed into as a menu as high as the
    // screen; this keeps every list a scrolled list of its own height.
    combo->setStyleSheet(QStringLiteral("QComboBox { combobox-popup: 0; }"));
    // The template's height includes the dropped-down list: as many rows as fit
    // below the field. A list shows them with a scroll bar, never more.
    combo->addItem(QStringLiteral("X"));
    const int rowHeight = std::max(1, combo->view()->sizeHintForRow(0));
    combo->clear();
    combo->setCurrentIndex(-1);
    const int listHeight = units.Y(c.height) - std::max(combo->sizeHint().height(), units.Y(12));
    combo->setMaxVisibleItems(std::max(3, listHeight / rowHeight));
    return combo;
}

QLabel* CreateImage(const ControlTemplate& c, QWidget* parent, const QRect& rect) {
    auto* label = new QLabel(parent);
    const QPixmap image = c.kind == ControlKind::Icon ? LoadIconPixmap() : LoadBitmapPixmap();
    // A bitmap fills the template's rectangle, as the framework stretches it.
    label->setPixmap(c.kind == ControlKind::Icon ? image
                                                 : image.scaled(rect.size(), Qt::IgnoreAspectRatio,
                                                                Qt::SmoothTransformation));
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    label->setAccessibleName(c.kind == ControlKind::Icon ? kIconAccessibleName
                                                         : kBitmapAccessibleName);
    return label;
}

}  // namespace

QWidget* CreateControl(const ControlTemplate& c, QWidget* parent, const DialogUnits& units) {
    const QRect rect = units.ToPixels(c.x, c.y, c.width, c.height);
    QWidget* widget = nullptr;
    switch (c.kind) {
        case ControlKind::Static:
            widget = CreateStatic(c, parent);
            break;
        case ControlKind::Edit:
            widget = CreateEdit(c, parent);
            break;
        case ControlKind::Button:
            widget = CreateButton(c, parent);
            break;
        case ControlKind::ComboBox:
            widget = CreateComboBox(c, parent, units);
            break;
        case ControlKind::GroupBox:
            widget = new QGroupBox(QString::fromStdString(c.text), parent);
            break;
        case ControlKind::Bitmap:
        case ControlKind::Icon:
            widget = CreateImage(c, parent, rect);
            break;
    }
    QRect geometry = rect;
    if (c.kind == ControlKind::ComboBox)
        geometry.setHeight(std::max(widget->sizeHint().height(), units.Y(12)));
    widget->setGeometry(geometry);
    widget->setEnabled(!(c.style & WS_DISABLED));
    if (!(c.style & WS_TABSTOP) && widget->focusPolicy() != Qt::NoFocus)
        widget->setFocusPolicy(Qt::ClickFocus);            // reachable by mouse, not by Tab
    if (c.kind == ControlKind::GroupBox) widget->lower();  // a frame behind its fields
    widget->setObjectName(QStringLiteral("control_%1").arg(c.id));
    return widget;
}

}  // namespace quellhart::ui
