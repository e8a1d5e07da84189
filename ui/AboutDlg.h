// The About box: the program's name, icon and author line.
#pragma once

#include "ui/platform/CDialog.h"

namespace quellhart::ui {

class CAboutDlg : public CDialog {
public:
    explicit CAboutDlg(WindowHandle parent = nullptr);
};

}  // namespace quellhart::ui
