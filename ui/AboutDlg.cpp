#include "ui/AboutDlg.h"

#include "res/DialogTemplates.h"

namespace quellhart::ui {

CAboutDlg::CAboutDlg(WindowHandle parent) : CDialog(res::AboutTemplate(), parent) {}

}  // namespace quellhart::ui
