#include "ui/platform/qt/Resources.h"

// The pictures live in a static library, whose resources Qt registers on request.
static void RegisterResources() {
    static const bool registered = [] {
        Q_INIT_RESOURCE(quellhart);
        return true;
    }();
    (void)registered;
}

namespace quellhart::ui {

QPixmap LoadIconPixmap() {
    RegisterResources();
    return QPixmap(QStringLiteral(":/quellhart/icon128.png"));
}

QIcon LoadAppIcon() { return QIcon(LoadIconPixmap()); }

QPixmap LoadBitmapPixmap() {
    RegisterResources();
    return QPixmap(QStringLiteral(":/quellhart/bitmap132.png"));
}

}  // namespace quellhart::ui
