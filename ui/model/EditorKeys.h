// The main window's keys: each presses one of its buttons, so a key does exactly what
// a click does, and nothing when the button is disabled. The help window lists them
// from this table.
#pragma once

#include "res/ControlIds.h"

namespace quellhart::ui {

struct EditorKey {
    const char* keys;  // as QKeySequence reads them
    int button;
    const char* description;
};

inline constexpr EditorKey kEditorKeys[] = {
    {"Ctrl+O", IDC_OPEN_FILE, "OpenFile: choose a save"},
    {"Ctrl+S", IDC_COMMIT_CHANGES, "CommitChanges: write the changes, after the usual questions"},
    {"F1", ID_HELP, "Help: this window"},
};

}  // namespace quellhart::ui
