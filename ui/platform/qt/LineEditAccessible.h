// Private to the Qt implementation: what a screen reader is told of a line edit.
#pragma once

namespace quellhart::ui {

// Makes every line edit of the program (the fields, and the edit field of an editable
// list) describe itself through the interface below, from then on.
void UseLineEditAccessible();

}  // namespace quellhart::ui
