// Builds the Qt widget for one control of a dialog template.
#pragma once

#include "platform/DialogTemplate.h"

class QWidget;

namespace quellhart::ui {

class DialogUnits;

QWidget* CreateControl(const ControlTemplate& control, QWidget* parent, const DialogUnits& units);

}  // namespace quellhart::ui
