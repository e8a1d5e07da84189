// The property sheet of the main window, holding the two pages.
#pragma once

#include "CPropertySheet.h"

namespace quellhart::ui {

class CMyPSheet : public CPropertySheet {
public:
    static constexpr const char* kClassName = "CMyPSheet";
    const char* GetRuntimeClassName() const { return kClassName; }

protected:
    BOOL OnInitDialog() override;
};

}  // namespace quellhart::ui
