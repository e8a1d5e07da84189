#include "ui/platform/qt/DialogUnits.h"

#include <QApplication>
#include <QFontMetrics>
#include <QStyle>

#include "res/DialogTemplates.h"
#include "ui/platform/CDialog.h"

namespace quellhart::ui {
namespace {

// The space a control needs around its text, in pixels, beside the text itself.
QSize TextMargins(const ControlTemplate& c, const QFontMetrics& metrics) {
    const QStyle* style = QApplication::style();
    const int frame = style->pixelMetric(QStyle::PM_DefaultFrameWidth);
    switch (c.kind) {
        case ControlKind::Button: {
            const int margin = style->pixelMetric(QStyle::PM_ButtonMargin);
            return {2 * (margin + frame), 2 * frame + 2};
        }
        case ControlKind::GroupBox:  // the title sits inside the frame, indented
            return {2 * metrics.averageCharWidth() + 2 * frame, 0};
        default:
            return c.style & (SS_SUNKEN | WS_BORDER) ? QSize(2 * frame + 2, 2 * frame)
                                                     : QSize(2, 0);
    }
}

int CeilDiv(int a, int b) { return (a + b - 1) / b; }

}  // namespace

DialogUnits::DialogUnits(const QFont& font) {
    const QFontMetrics metrics(font);
    // The framework's rule: the average width of the 52 letters, rounded the way
    // Windows rounds it, and the font's height.
    const int letters = metrics.horizontalAdvance(
        QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
    baseWidth_ = (letters / 26 + 1) / 2;
    baseHeight_ = metrics.height();
    // The templates were drawn for one font; another font's texts can be wider in
    // proportion to its letters. The units grow until every text of every template
    // fits its rectangle, so a layout keeps its proportions and no text is cut,
    // shrunk or wrapped onto its neighbour.
    for (const DialogTemplate* dialog : res::ProgramDialogTemplates()) {
        for (const ControlTemplate& c : dialog->controls) {
            const bool hasText = c.kind == ControlKind::Static || c.kind == ControlKind::Button ||
                                 c.kind == ControlKind::GroupBox;
            if (!hasText || c.text.empty() || c.width <= 0 || c.height <= 0) continue;
            const QSize margins = TextMargins(c, metrics);
            const int width =
                metrics.horizontalAdvance(QString::fromStdString(c.text)) + margins.width();
            baseWidth_ = std::max(baseWidth_, CeilDiv(width * 4, c.width));
            if (c.kind != ControlKind::GroupBox)
                baseHeight_ = std::max(
                    baseHeight_, CeilDiv((metrics.height() + margins.height()) * 8, c.height));
        }
    }
}

QRect DialogUnits::ToPixels(int x, int y, int width, int height) const {
    const int left = X(x), top = Y(y);
    return {left, top, X(x + width) - left, Y(y + height) - top};
}

QFont DialogFont() { return QApplication::font(); }

}  // namespace quellhart::ui
