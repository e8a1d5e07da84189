// Private to the Qt implementation: window handles are widgets, and a handle whose
// widget has been destroyed since reads as none, as a destroyed window's handle does
// on Windows.
#pragma once

#include <QWidget>

#include "ui/platform/WinTypes.h"

namespace quellhart::ui {

// The handle of `widget`, which from now on reads as none once the widget is gone.
WindowHandle HandleOf(QWidget* widget);
// The live widget behind `window`, or none.
QWidget* ToWidget(WindowHandle window);

template <typename Widget>
Widget* ToWidget(WindowHandle window) {
    return qobject_cast<Widget*>(ToWidget(window));
}

}  // namespace quellhart::ui
