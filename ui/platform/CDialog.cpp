#include "platform/CDialog.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QDialog>
#include <QFrame>
#include <QLabel>

#include "platform/CComboBox.h"
#include "platform/CWinApp.h"
#include "platform/ControlFactory.h"
#include "platform/DialogUnits.h"
#include "platform/SaveText.h"
#include "platform/SystemMenu.h"

namespace quellhart::ui {
namespace {

// The top-level window of a CDialog: the system menu opens on a right click on its
// background, and closing it is the Cancel command.
class DialogWindow : public QDialog {
public:
    DialogWindow(QWidget* parent, Qt::WindowFlags flags,
                 std::function<void(QPoint)> onBackgroundMenu)
        : QDialog(parent, flags), onBackgroundMenu_(std::move(onBackgroundMenu)) {}

    void reject() override { done(IDCANCEL); }

protected:
    void contextMenuEvent(QContextMenuEvent* event) override {
        if (!childAt(event->pos())) onBackgroundMenu_(event->globalPos());
    }

private:
    std::function<void(QPoint)> onBackgroundMenu_;
};

}  // namespace

CDialogBase::CDialogBase(const DialogTemplate& dialogTemplate) : template_(dialogTemplate) {}

CDialogBase::~CDialogBase() = default;

QWidget* CDialogBase::GetDlgItem(int id) const {
    const auto it = controls_.find(id);
    return it == controls_.end() ? nullptr : it->second.data();
}

BOOL CDialogBase::OnCommand(int id, int code) { return DefaultCommand(id, code); }

BOOL CDialogBase::DefaultCommand(int id, int code) {
    // Commands a window does not handle go to the application's table.
    return CWinApp::Current() ? CWinApp::Current()->OnCmdMsg(id, code) : FALSE;
}

void CDialogBase::UpdateData(BOOL saveAndValidate) {
    CDataExchange exchange{this, saveAndValidate};
    DoDataExchange(&exchange);
}

void CDialogBase::BuildControls(QWidget* host) {
    host->setFont(DialogFont());
    const DialogUnits units(host->font());
    controls_.clear();
    std::vector<std::pair<QWidget*, int>> captions;  // caption, the id it names
    for (const ControlTemplate& control : template_.controls) {
        QWidget* widget = CreateControl(control, host, units);
        if (control.id != -1) controls_[control.id] = widget;
        if (control.labelFor != 0) captions.emplace_back(widget, control.labelFor);
        const int id = control.id;
        if (auto* button = qobject_cast<QAbstractButton*>(widget))
            QObject::connect(button, &QAbstractButton::clicked,
                             [this, id] { OnCommand(id, BN_CLICKED); });
        if (auto* combo = qobject_cast<QComboBox*>(widget))
            QObject::connect(combo, &QComboBox::activated,
                             [this, id] { OnCommand(id, CBN_SELCHANGE); });
    }
    for (const auto& [caption, id] : captions)
        TieCaption(static_cast<QLabel*>(caption), GetDlgItem(id));
    for (const ListInitEntry& entry : template_.listInit) {
        CComboBox list;
        list.Attach(GetDlgItem(entry.id));
        list.AddString(entry.text);
    }
}

// A screen reader names a control by its caption. A list that cannot be typed into
// keeps its current entry as what is announced, and gets the caption as its
// description: "GameHour combo box. SelectVar." tells both what is chosen and what
// the choice is. The caption also moves right before its control in the order
// assistive tools walk, so that walking pairs each caption with its value; the
// Tab order, made when the controls were created, stays as the template gives it.
void CDialogBase::TieCaption(QLabel* caption, QWidget* control) {
    const auto* list = qobject_cast<QComboBox*>(control);
    if (list && !list->isEditable())
        control->setAccessibleDescription(caption->text());
    else
        caption->setBuddy(control);
    caption->stackUnder(control);
}

CDialog::CDialog(const DialogTemplate& dialogTemplate, QWidget* parent)
    : CDialogBase(dialogTemplate), parent_(parent) {}

CDialog::~CDialog() = default;

QDialog* CDialog::Window() const { return window_.get(); }

void CDialog::BuildWindow(QWidget* parent) {
    const DialogTemplate& t = Template();
    Qt::WindowFlags flags = Qt::Dialog | Qt::CustomizeWindowHint;
    if (t.hasCaptionBar) flags |= Qt::WindowTitleHint;
    if (t.hasSystemMenu) flags |= Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
    window_ = std::make_unique<DialogWindow>(parent, flags, [this](QPoint at) {
        if (systemMenu_) systemMenu_->Popup(at);
    });
    Attach(window_.get());
    window_->setWindowTitle(FromSaveText(t.caption));
    window_->setFont(DialogFont());
    const DialogUnits units(window_->font());
    window_->setFixedSize(units.X(t.width), units.Y(t.height));
    window_->move(units.X(t.x), units.Y(t.y));
    if (!t.hasCaptionBar) {  // a box without a caption still shows a raised frame
        auto* frame = new QFrame(window_.get());
        frame->setFrameStyle(QFrame::Panel | QFrame::Raised);
        frame->setGeometry(window_->rect());
    }
    if (t.hasSystemMenu)
        systemMenu_ = std::make_unique<SystemMenu>(window_.get(),
                                                   [this](unsigned id) { OnSysCommand(id, 0); });
    BuildControls(window_.get());
}

BOOL CDialog::OnInitDialog() {
    UpdateData(FALSE);
    return TRUE;
}

int CDialog::DoModal() {
    BuildWindow(parent_);
    OnInitDialog();
    const int result = window_->exec();
    DestroyWindow();
    return result;
}

BOOL CDialog::Create(QWidget* parent) {
    BuildWindow(parent);
    OnInitDialog();
    window_->show();
    return TRUE;
}

void CDialog::DestroyWindow() {
    if (!window_) return;
    OnDestroy();
    systemMenu_.reset();
    window_.reset();
    Attach(nullptr);
}

void CDialog::EndDialog(int result) {
    if (window_) window_->done(result);
}

SystemMenu* CDialog::GetSystemMenu(BOOL) { return systemMenu_.get(); }

void CDialog::OnSysCommand(unsigned id, intptr_t) { DefaultSysCommand(id); }

void CDialog::DefaultSysCommand(unsigned id) {
    if ((id & 0xFFF0) == SC_CLOSE && window_) window_->close();
}

BOOL CDialog::DefaultCommand(int id, int code) {
    if ((id == IDOK || id == IDCANCEL) && code == BN_CLICKED) {
        EndDialog(id);
        return TRUE;
    }
    return CDialogBase::DefaultCommand(id, code);
}

}  // namespace quellhart::ui
