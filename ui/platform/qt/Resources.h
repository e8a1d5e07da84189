// Private to the Qt implementation: the program's pictures, compiled in with Qt's
// resource system: icon 128 and bitmap 132.
#pragma once

#include <QIcon>
#include <QPixmap>

namespace quellhart::ui {

QPixmap LoadIconPixmap();    // icon 128, 32 x 32
QIcon LoadAppIcon();         // icon 128 for the window and the task bar
QPixmap LoadBitmapPixmap();  // bitmap 132, 176 x 217

}  // namespace quellhart::ui
