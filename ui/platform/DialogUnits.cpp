#include "DialogUnits.h"

#include <QApplication>
#include <QFontMetrics>

namespace quellhart::ui {

DialogUnits::DialogUnits(const QFont& font) {
    const QFontMetrics metrics(font);
    // The width of the 52 letters, averaged and rounded the way Windows rounds it.
    const int letters = metrics.horizontalAdvance(
        QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
    baseWidth_ = (letters / 26 + 1) / 2;
    baseHeight_ = metrics.height();
}

QRect DialogUnits::ToPixels(int x, int y, int width, int height) const {
    const int left = X(x), top = Y(y);
    return {left, top, X(x + width) - left, Y(y + height) - top};
}

QFont DialogFont() { return QApplication::font(); }

}  // namespace quellhart::ui
