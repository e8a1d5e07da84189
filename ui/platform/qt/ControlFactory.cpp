#include "ui/platform/qt/ControlFactory.h"

#include <QAbstractButton>
#include <QAccessibleWidget>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QRegularExpressionValidator>

#include "res/Messages.h"
#include "ui/platform/CComboBox.h"
#include "ui/platform/qt/DialogUnits.h"
#include "ui/platform/qt/LineEditAccessible.h"
#include "ui/platform/qt/QtWindows.h"
#include "ui/platform/qt/Resources.h"

namespace quellhart::ui {
namespace {

QLabel* CreateStatic(const ControlTemplate& c, QWidget* parent) {
    auto* label = new QLabel(QString::fromStdString(c.text), parent);
    // The type of a text control is a number, not a set of bits.
    const uint32_t type = c.style & 0x1F;
    Qt::Alignment alignment = type == SS_CENTER  ? Qt::AlignHCenter
                              : type == SS_RIGHT ? Qt::AlignRight
                                                 : Qt::AlignLeft;
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
    combo->setEditable(IsEditableList(c.style));
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
    label->setAccessibleName(c.kind == ControlKind::Icon ? messages::kIconAccessibleName
                                                         : messages::kBitmapAccessibleName);
    return label;
}

// The caption of a list that carries it as its description (below), as a screen reader
// sees it: tied to its list by a relation, so that it is not taken for a text of the
// window standing alone, which Orca reads out with the window's name before every
// announcement made in the window ("Versions dialog Earlier versions, oldest first:"
// at each arrow in the list).
constexpr const char* kCaptionOfList = "quellhartCaptionOfList";

class ListCaptionAccessible : public QAccessibleWidget {
public:
    explicit ListCaptionAccessible(QLabel* caption)
        : QAccessibleWidget(caption, QAccessible::StaticText) {}
    QString text(QAccessible::Text kind) const override {
        return kind == QAccessible::Name ? static_cast<QLabel*>(widget())->text()
                                         : QAccessibleWidget::text(kind);
    }
    QList<QPair<QAccessibleInterface*, QAccessible::Relation>> relations(
        QAccessible::Relation match) const override {
        auto found = QAccessibleWidget::relations(match);
        auto* list = widget()->property(kCaptionOfList).value<QObject*>();
        if (list && (match & QAccessible::Controller))
            found.append({QAccessible::queryAccessibleInterface(list), QAccessible::Controller});
        return found;
    }
};

QAccessibleInterface* ListCaptionFor(const QString&, QObject* object) {
    auto* caption = qobject_cast<QLabel*>(object);
    if (!caption || !caption->property(kCaptionOfList).isValid()) return nullptr;
    return new ListCaptionAccessible(caption);
}

// A screen reader names a control by its caption. A list that cannot be typed into
// keeps its current entry as what is announced, and gets the caption as its
// description: "GameHour combo box. SelectVar." tells both what is chosen and what
// the choice is. The caption also moves right before its control in the order
// assistive tools walk, so that walking pairs each caption with its value; the
// Tab order, made when the controls were created, stays as the template gives it.
void TieCaption(QLabel* caption, QWidget* control) {
    const auto* list = qobject_cast<QComboBox*>(control);
    if (list && !list->isEditable()) {
        static const bool installed = [] {
            QAccessible::installFactory(ListCaptionFor);
            return true;
        }();
        (void)installed;
        control->setAccessibleDescription(caption->text());
        caption->setProperty(kCaptionOfList, QVariant::fromValue(static_cast<QObject*>(control)));
        // One made for the caption when its text was set, before it was known to be a
        // list's, is made again as a list's caption's.
        QAccessibleInterface* made = QAccessible::queryAccessibleInterface(caption);
        if (made && !dynamic_cast<ListCaptionAccessible*>(made))
            QAccessible::deleteAccessibleInterface(QAccessible::uniqueId(made));
    } else {
        caption->setBuddy(control);
    }
    caption->stackUnder(control);
}

}  // namespace

void BuildControls(CDialogBase& dialog, QWidget* host) {
    host->setFont(DialogFont());
    const DialogUnits units(host->font());
    dialog.ForgetControls();
    std::vector<std::pair<QLabel*, int>> captions;  // caption, the id it names
    for (const ControlTemplate& control : dialog.Template().controls) {
        QWidget* widget = CreateControl(control, host, units);
        if (control.id != -1) dialog.RegisterControl(control.id, HandleOf(widget));
        if (control.labelFor != 0)
            captions.emplace_back(static_cast<QLabel*>(widget), control.labelFor);
        const int id = control.id;
        if (auto* button = qobject_cast<QAbstractButton*>(widget))
            QObject::connect(button, &QAbstractButton::clicked,
                             [&dialog, id] { dialog.OnCommand(id, BN_CLICKED); });
        if (auto* combo = qobject_cast<QComboBox*>(widget))
            QObject::connect(combo, &QComboBox::activated,
                             [&dialog, id] { dialog.OnCommand(id, CBN_SELCHANGE); });
    }
    for (const auto& [caption, id] : captions) TieCaption(caption, ToWidget(dialog.GetDlgItem(id)));
    for (const res::ListInitEntry& entry : dialog.Template().listInit) {
        CComboBox list;
        list.Attach(dialog.GetDlgItem(entry.id));
        list.AddString(entry.text);
    }
}

QWidget* CreateControl(const ControlTemplate& c, QWidget* parent, const DialogUnits& units) {
    UseLineEditAccessible();  // the fields' and the lists' edit fields
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
