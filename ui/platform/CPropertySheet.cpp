// What every toolkit's property sheets share: the pages and their activation.
#include "ui/platform/CPropertySheet.h"

namespace quellhart::ui {

CPropertyPage::CPropertyPage(const DialogTemplate& dialogTemplate) : CDialogBase(dialogTemplate) {}

void CPropertySheet::AddPage(CPropertyPage* page) { pages_.push_back(page); }

void CPropertySheet::PageActivated(int index) {
    if (index >= 0 && index < GetPageCount()) pages_[size_t(index)]->OnSetActive();
}

}  // namespace quellhart::ui
