// Private to the Qt implementation: the widgets of a dialog template.
#pragma once

#include "ui/platform/CDialog.h"

class QWidget;

namespace quellhart::ui {

class DialogUnits;

QWidget* CreateControl(const ControlTemplate& control, QWidget* parent, const DialogUnits& units);

// Builds the template's controls of `dialog` on `host`, registers them with it and
// routes their notifications to its OnCommand.
void BuildControls(CDialogBase& dialog, QWidget* host);

}  // namespace quellhart::ui
