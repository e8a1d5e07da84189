// Dialog templates as data: every control's id, kind, text, position and size in
// dialog units, and style. The windows are built from these, so a layout change is
// a change of data.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace quellhart::ui {

enum class ControlKind { Static, Edit, Button, ComboBox, GroupBox, Bitmap, Icon };

struct ControlTemplate {
    int id;  // -1 for a control the program never addresses
    ControlKind kind;
    std::string text;  // for Bitmap and Icon: the resource's name
    int x, y, width, height;
    uint32_t style = 0;
    // For a caption: the id of the control it names, which a screen reader then
    // announces by it. 0 for none.
    int labelFor = 0;
};

// One text the template's initialisation block adds to a list when the window is
// created.
struct ListInitEntry {
    int id;
    std::string text;
};

struct DialogTemplate {
    int id;
    std::string caption;
    int x, y, width, height;
    std::vector<ControlTemplate> controls;
    bool hasCaptionBar = true;
    bool hasSystemMenu = true;
    std::vector<ListInitEntry> listInit = {};
};

// Every template of the program, defined with them. The dialog units are chosen so
// that all of their texts fit.
const std::vector<const DialogTemplate*>& ProgramDialogTemplates();

}  // namespace quellhart::ui
