#include "MyPSheet.h"

namespace quellhart::ui {

// The pages' controls take part in the main window's keyboard navigation.
BOOL CMyPSheet::OnInitDialog() {
    ModifyStyleEx(0, WS_EX_CONTROLPARENT);
    return CPropertySheet::OnInitDialog();
}

}  // namespace quellhart::ui
