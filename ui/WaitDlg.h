// The box shown while a commit writes the new save: "Now generating the new file",
// "Please Wait". Used modeless only.
#pragma once

#include "ui/platform/CDialog.h"

namespace quellhart::ui {

class CWaitDlg : public CDialog {
public:
    CWaitDlg();

    // Shows the box and paints its texts at once, before the work it stands for.
    BOOL Create(WindowHandle parent = nullptr);
};

}  // namespace quellhart::ui
