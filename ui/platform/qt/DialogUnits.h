// Private to the Qt implementation. Dialog units to pixels. A horizontal unit is a quarter of the
// dialog font's average character width and a vertical unit an eighth of its height, computed as
// Windows computes them and widened where a template's text needs it, so a layout keeps its
// proportions, and every text fits, at any font and screen scale.
#pragma once

#include <QFont>
#include <QRect>

namespace quellhart::ui {

class DialogUnits {
public:
    explicit DialogUnits(const QFont& font);

    // Average character width and height of the font, in pixels.
    int BaseWidth() const { return baseWidth_; }
    int BaseHeight() const { return baseHeight_; }

    QRect ToPixels(int x, int y, int width, int height) const;
    int X(int units) const { return units * baseWidth_ / 4; }
    int Y(int units) const { return units * baseHeight_ / 8; }

private:
    int baseWidth_;
    int baseHeight_;
};

// The font dialogs use: the desktop's default sans-serif font at its default size
// stands in for 8-point "MS Sans Serif".
QFont DialogFont();

}  // namespace quellhart::ui
