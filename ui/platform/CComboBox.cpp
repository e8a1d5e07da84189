#include "ui/platform/CComboBox.h"

namespace quellhart::ui {

int FindPrefixFrom(int count, int startAfter, const std::function<bool(int)>& beginsWithPrefix) {
    const int start = startAfter >= 0 && startAfter < count ? startAfter : -1;
    for (int step = 1; step <= count; ++step) {
        const int i = (start + step) % count;
        if (beginsWithPrefix(i)) return i;
    }
    return CB_ERR;
}

}  // namespace quellhart::ui
