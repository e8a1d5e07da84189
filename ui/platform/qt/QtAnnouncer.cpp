// Announcements for screen readers. Qt 6.4 has no announcement event, and its bridge to
// AT-SPI tells a screen reader of a changed description or a list's new choice in ways
// Orca cannot use (the description's event carries the object instead of the text; a
// combo box has no selection to ask for). What Orca does speak, in any application, is
// a notification that appears: each window gets one, kept out of sight, whose name is
// the text, and which is shown again for each announcement.
#include <QAccessible>
#include <QAccessibleWidget>
#include <QTimer>
#include <QWidget>

#include "ui/platform/CWnd.h"
#include "ui/platform/qt/QtWindows.h"

namespace quellhart::ui {
namespace {

constexpr const char* kAnnouncerName = "quellhart-announcer";

class Announcement : public QAccessibleWidget {
public:
    explicit Announcement(QWidget* widget) : QAccessibleWidget(widget, QAccessible::Notification) {}
    QString text(QAccessible::Text kind) const override {
        return kind == QAccessible::Name ? widget()->accessibleName() : QString();
    }
};

QAccessibleInterface* AnnouncementFor(const QString&, QObject* object) {
    if (!object || !object->isWidgetType() || object->objectName() != kAnnouncerName)
        return nullptr;
    return new Announcement(static_cast<QWidget*>(object));
}

void Say(QWidget* window, const QString& text) {
    auto* announcer = window->findChild<QWidget*>(kAnnouncerName, Qt::FindDirectChildrenOnly);
    if (!announcer) {
        announcer = new QWidget(window);
        announcer->setObjectName(kAnnouncerName);
        announcer->setGeometry(0, 0, 0, 0);  // nothing to see, nothing to take a click
    }
    announcer->hide();
    announcer->setAccessibleName(text);
    announcer->show();
}

}  // namespace

void CWnd::Announce(std::string_view text, AnnounceWhen when) {
    QWidget* widget = ToWidget(hwnd_);
    if (!widget || text.empty()) return;
    static const bool installed = [] {
        QAccessible::installFactory(AnnouncementFor);
        return true;
    }();
    (void)installed;
    const QString said = QString::fromUtf8(text.data(), qsizetype(text.size()));
    if (when == AnnounceWhen::kNow) return Say(widget->window(), said);
    // Orca, amid a flood of events, keeps only those of the focused control: half a
    // second after a page refill its queue is through them.
    QWidget* window = widget->window();
    auto* settle = new QTimer(window);  // goes with the window if it closes first
    settle->setSingleShot(true);
    QObject::connect(settle, &QTimer::timeout, window, [window, settle, said] {
        Say(window, said);
        settle->deleteLater();
    });
    settle->start(500);
}

}  // namespace quellhart::ui
