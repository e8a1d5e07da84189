// The property sheet of the main window, holding the two pages. The pages' controls
// take part in the main window's keyboard navigation (Tab and the arrow keys move
// into them), which Qt gives every child widget without a style of its own.
#pragma once

#include "ui/platform/CPropertySheet.h"

namespace quellhart::ui {

class CMyPSheet : public CPropertySheet {};

}  // namespace quellhart::ui
