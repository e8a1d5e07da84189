#include <QAbstractButton>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QDialog>
#include <QFrame>
#include <QKeyEvent>
#include <QKeySequence>
#include <QLabel>
#include <QPushButton>
#include <QShortcut>
#include <QStringList>
#include <QTimer>
#include <deque>

#include "ui/platform/CDialog.h"
#include "ui/platform/qt/ControlFactory.h"
#include "ui/platform/qt/DialogUnits.h"
#include "ui/platform/qt/QtWindows.h"
#include "ui/platform/qt/Resources.h"
#include "ui/platform/qt/SaveText.h"
#include "ui/platform/qt/SystemMenu.h"

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
    // Enter on a push button presses that button, as on Windows; elsewhere the dialog
    // presses the default button it shows, when enabled, and never ends the window.
    void keyPressEvent(QKeyEvent* event) override {
        const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
        if (auto* button = qobject_cast<QPushButton*>(focusWidget()); enter && button) {
            if (button->isEnabled()) button->click();
            return;
        }
        QDialog::keyPressEvent(event);
    }
    void contextMenuEvent(QContextMenuEvent* event) override {
        if (!childAt(event->pos())) onBackgroundMenu_(event->globalPos());
    }

private:
    std::function<void(QPoint)> onBackgroundMenu_;
};

}  // namespace

struct NativeDialog {
    std::unique_ptr<QDialog> window;
    std::unique_ptr<SystemMenu> systemMenu;
    // Posted tasks, run by a timer of the window's own once its event loop runs.
    QTimer taskTimer;
    std::deque<std::function<void()>> tasks;
};

CDialog::CDialog(const DialogTemplate& dialogTemplate, WindowHandle parent)
    : CDialogBase(dialogTemplate), parent_(parent) {}

CDialog::~CDialog() = default;

// Builds the window and its controls from the template.
static void BuildWindow(CDialog& dialog, NativeDialog& native, QWidget* parent) {
    const DialogTemplate& t = dialog.Template();
    // A dialog that asks for a task-bar button of its own (the main window) is an
    // ordinary window to the window manager, not one transient for a hidden leader.
    Qt::WindowFlags flags =
        (t.exStyle & WS_EX_APPWINDOW ? Qt::Window : Qt::Dialog) | Qt::CustomizeWindowHint;
    if (t.HasCaptionBar()) flags |= Qt::WindowTitleHint;
    if (t.HasSystemMenu()) flags |= Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
    native.window = std::make_unique<DialogWindow>(parent, flags, [&native](QPoint at) {
        if (native.systemMenu) native.systemMenu->Popup(at);
    });
    QDialog* window = native.window.get();
    dialog.Attach(HandleOf(window));
    window->setWindowTitle(FromSaveText(t.caption));
    window->setFont(DialogFont());
    const DialogUnits units(window->font());
    window->setFixedSize(units.X(t.width), units.Y(t.height));
    window->move(units.X(t.x), units.Y(t.y));
    if (!t.HasCaptionBar()) {  // a box without a caption still shows a raised frame
        auto* frame = new QFrame(window);
        frame->setFrameStyle(QFrame::Panel | QFrame::Raised);
        frame->setGeometry(window->rect());
    }
    native.taskTimer.setSingleShot(true);
    QObject::connect(&native.taskTimer, &QTimer::timeout, window, [&native] {
        while (!native.tasks.empty()) {
            std::function<void()> task = std::move(native.tasks.front());
            native.tasks.pop_front();
            task();
        }
    });
    if (t.HasSystemMenu())
        native.systemMenu = std::make_unique<SystemMenu>(
            window, [&dialog](unsigned id) { dialog.OnSysCommand(id, 0); });
    BuildControls(dialog, window);
    if (t.caption.empty()) {
        // A box without a title is named by its texts, so that a screen reader says
        // what it stands for when it appears (the wait box).
        QStringList texts;
        for (const ControlTemplate& control : t.controls)
            if (control.kind == ControlKind::Static && !control.text.empty())
                texts << FromSaveText(control.text);
        window->setAccessibleName(texts.join(QStringLiteral(". ")));
    }
}

int CDialog::DoModal() {
    native_ = std::make_unique<NativeDialog>();
    BuildWindow(*this, *native_, ToWidget(parent_));
    OnInitDialog();
    const int result = native_->window->exec();
    DestroyWindow();
    return result;
}

BOOL CDialog::Create(WindowHandle parent) {
    native_ = std::make_unique<NativeDialog>();
    BuildWindow(*this, *native_, ToWidget(parent));
    OnInitDialog();
    native_->window->show();
    return TRUE;
}

void CDialog::DestroyWindow() {
    if (!native_ || !native_->window) return;
    OnDestroy();
    native_.reset();
    ForgetControls();
    Attach(nullptr);
}

void CDialog::EndDialog(int result) {
    if (native_ && native_->window) native_->window->done(result);
}

CMenu* CDialog::GetSystemMenu(BOOL) { return native_ ? native_->systemMenu.get() : nullptr; }

void CDialog::SetIcon(IconHandle icon, BOOL) {
    // Qt scales one icon to every size the window system asks for.
    if (native_ && icon) native_->window->setWindowIcon(*reinterpret_cast<QIcon*>(icon));
}

void CDialog::AddButtonKey(const char* keys, int buttonId) {
    auto* shortcut = new QShortcut(QKeySequence(QString::fromLatin1(keys)), native_->window.get());
    // As a click, which does nothing on a disabled button.
    auto* button = ToWidget<QAbstractButton>(GetDlgItem(buttonId));
    QObject::connect(shortcut, &QShortcut::activated, button, &QAbstractButton::click);
}

void CDialog::PostTask(std::function<void()> task) {
    native_->tasks.push_back(std::move(task));
    native_->taskTimer.start(0);
}

void CDialog::DefaultSysCommand(unsigned id, intptr_t) {
    if ((id & 0xFFF0) == SC_CLOSE && native_) native_->window->close();
}

IconHandle LoadIcon(int) {
    static QIcon icon = LoadAppIcon();
    return reinterpret_cast<IconHandle>(&icon);
}

}  // namespace quellhart::ui
