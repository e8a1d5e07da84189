// Dialog templates as data: every control's id, kind, text, position and size in
// dialog units, and styles. The windows are built from these on every platform, so a
// layout change is a change of data.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "res/WindowStyles.h"

namespace quellhart::res {

enum class ControlKind { Static, Edit, Button, ComboBox, GroupBox, Bitmap, Icon };

struct ControlTemplate {
    int id;  // -1 for a control the program never addresses
    ControlKind kind;
    std::string text;  // for Bitmap and Icon: the resource's number
    int x, y, width, height;
    uint32_t style = 0;
    // For a caption: the id of the control it names, which a screen reader then
    // announces by it. 0 for none.
    int labelFor = 0;
    uint32_t exStyle = 0;
};

// One text the template's initialisation block adds to a list when the window is
// created.
struct ListInitEntry {
    int id;
    std::string text;
};

// The low four bits of a button's style: which kind of button it is.
inline constexpr uint32_t kButtonKindMask = 0x000F;

struct DialogTemplate {
    int id;
    std::string caption;
    int x, y, width, height;
    std::vector<ControlTemplate> controls;
    uint32_t style = 0;
    uint32_t exStyle = 0;
    std::vector<ListInitEntry> listInit = {};

    bool HasCaptionBar() const { return (style & WS_CAPTION) == WS_CAPTION; }
    bool HasSystemMenu() const { return (style & WS_SYSMENU) != 0; }
    // The button that Enter presses when the keyboard is on no other button: the
    // template's default push button, or 0 for none.
    int DefaultButtonId() const {
        for (const ControlTemplate& c : controls)
            if (c.kind == ControlKind::Button && (c.style & kButtonKindMask) == BS_DEFPUSHBUTTON)
                return c.id;
        return 0;
    }
};

}  // namespace quellhart::res
