#include "ControlFactory.h"

#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QRegularExpressionValidator>

#include "DialogUnits.h"
#include "Resources.h"
#include "WinTypes.h"

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

// The desktop's font may be wider than the one the layouts were drawn for. A label
// whose text does not fit its rectangle gets a slightly smaller font; one that
// still does not fit wraps, and grows downwards rather than lose its last line.
void FitLabelText(QLabel* label, QRect& geometry) {
    constexpr double kSmallestScale = 0.72;
    const int needed = label->fontMetrics().horizontalAdvance(label->text()) + 2;
    if (needed <= geometry.width()) {
        label->setWordWrap(false);
        return;
    }
    QFont font = label->font();
    const double scale = std::max(kSmallestScale, double(geometry.width()) / needed);
    font.setPointSizeF(font.pointSizeF() * scale);
    label->setFont(font);
    const bool fits = label->fontMetrics().horizontalAdvance(label->text()) + 2 <= geometry.width();
    label->setWordWrap(!fits);
    if (!fits)
        geometry.setHeight(std::max(geometry.height(), label->heightForWidth(geometry.width())));
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
    combo->setInsertPolicy(QComboBox::NoInsert);
    combo->setProperty("sorted", bool(c.style & CBS_SORT));
    combo->setCurrentIndex(-1);
    // The template's height includes the dropped-down list.
    const int lineHeight = combo->sizeHint().height();
    combo->setMaxVisibleItems(std::max(3, units.Y(c.height) / std::max(1, lineHeight) - 1));
    return combo;
}

QLabel* CreateImage(const ControlTemplate& c, QWidget* parent, const QRect& rect) {
    auto* label = new QLabel(parent);
    const QPixmap image = c.kind == ControlKind::Icon ? LoadIconPixmap() : LoadBitmapPixmap();
    // A bitmap keeps its proportions inside the template's rectangle.
    label->setPixmap(c.kind == ControlKind::Icon ? image
                                                 : image.scaled(rect.size(), Qt::KeepAspectRatio,
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
    if (auto* label = qobject_cast<QLabel*>(widget); label && !label->text().isEmpty())
        FitLabelText(label, geometry);
    widget->setGeometry(geometry);
    widget->setEnabled(!(c.style & WS_DISABLED));
    if (!(c.style & WS_TABSTOP) && widget->focusPolicy() != Qt::NoFocus)
        widget->setFocusPolicy(Qt::ClickFocus);            // reachable by mouse, not by Tab
    if (c.kind == ControlKind::GroupBox) widget->lower();  // a frame behind its fields
    widget->setObjectName(QStringLiteral("control_%1").arg(c.id));
    return widget;
}

}  // namespace quellhart::ui
