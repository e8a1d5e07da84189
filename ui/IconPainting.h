// Where a minimised window draws its icon: centred in the client area, an odd
// difference giving the larger half to the left and top.
#pragma once

#include <QPoint>

namespace quellhart::ui {

inline QPoint MinimisedIconOrigin(int clientWidth, int clientHeight, int iconWidth,
                                  int iconHeight) {
    return {(clientWidth - iconWidth + 1) / 2, (clientHeight - iconHeight + 1) / 2};
}

}  // namespace quellhart::ui
