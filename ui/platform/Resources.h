// The program's pictures, compiled in with Qt's resource system: icon 128 and
// bitmap 132; and the help text.
#pragma once

#include <QIcon>
#include <QPixmap>

namespace quellhart::ui {

QPixmap LoadIconPixmap();    // icon 128, 32 x 32
QIcon LoadAppIcon();         // icon 128 for the window and the task bar
QPixmap LoadBitmapPixmap();  // bitmap 132, 176 x 217
QString LoadHelpText();      // the help window's text, HTML

// What a screen reader says for each picture.
inline constexpr const char* kIconAccessibleName = "Quellhart Savegame Editor icon";
inline constexpr const char* kBitmapAccessibleName = "Quellhart Savegame Editor picture";

}  // namespace quellhart::ui
