// The extended dialog template, as the system reads it (all little-endian; each
// control starts on a 4-byte boundary):
//
//   | field                                 | bytes                            |
//   |---------------------------------------|----------------------------------|
//   | dlgVer = 1, signature = 0xFFFF        | 2 + 2                            |
//   | helpID, exStyle, style                | 4 + 4 + 4                        |
//   | cDlgItems, x, y, cx, cy               | 2 + 2 + 2 + 2 + 2 (dialog units) |
//   | menu, windowClass                     | 2 + 2 (0: none, the default)     |
//   | title                                 | UTF-16, zero-terminated          |
//   | pointsize, weight, italic, charset    | 2 + 2 + 1 + 1 (with DS_SETFONT)  |
//   | typeface                              | UTF-16, zero-terminated          |
//   | per control: helpID, exStyle, style   | 4 + 4 + 4                        |
//   |   x, y, cx, cy, id                    | 2 + 2 + 2 + 2 + 4                |
//   |   windowClass                         | 0xFFFF + atom (0x80 button, ...) |
//   |   title                               | UTF-16, or 0xFFFF + resource id  |
//   |   extraCount = 0                      | 2                                |
//
// Controls are written in the template's order, except that a caption goes right
// before the control it names: a screen reader names a field by the static text
// just before it, and since captions take no tab stop, the Tab order stays as the
// template gives it.
#include "ui/platform/win32/DialogTemplateEx.h"

#include <algorithm>
#include <cstring>
#include <string>

#include "ui/platform/win32/Win32.h"

namespace quellhart::ui {
namespace {

class TemplateWriter {
public:
    void Word(uint16_t value) { Bytes(&value, 2); }
    void Dword(uint32_t value) { Bytes(&value, 4); }
    void Text(const std::wstring& text) {
        for (wchar_t c : text) Word(uint16_t(c));
        Word(0);
    }
    void AlignToDword() {
        while (bytes_.size() % 4) bytes_.push_back(0);
    }
    std::vector<uint32_t> Finish() {
        AlignToDword();
        std::vector<uint32_t> words(bytes_.size() / 4);
        std::memcpy(words.data(), bytes_.data(), bytes_.size());
        return words;
    }

private:
    void Bytes(const void* data, size_t count) {
        const auto* p = static_cast<const uint8_t*>(data);
        bytes_.insert(bytes_.end(), p, p + count);
    }
    std::vector<uint8_t> bytes_;
};

// The system's predefined window classes, by atom.
constexpr uint16_t kButtonClass = 0x0080;
constexpr uint16_t kEditClass = 0x0081;
constexpr uint16_t kStaticClass = 0x0082;
constexpr uint16_t kComboBoxClass = 0x0085;

struct NativeKind {
    uint16_t windowClass;
    uint32_t baseStyle;
};

NativeKind KindOf(res::ControlKind kind) {
    switch (kind) {
        case res::ControlKind::Static:
        case res::ControlKind::Bitmap:
        case res::ControlKind::Icon:
            return {kStaticClass, 0};
        case res::ControlKind::Edit:
            return {kEditClass, 0};
        case res::ControlKind::Button:
            return {kButtonClass, 0};
        case res::ControlKind::GroupBox:
            return {kButtonClass, BS_GROUPBOX};
        case res::ControlKind::ComboBox:
            return {kComboBoxClass, 0};
    }
    return {kStaticClass, 0};
}

void WriteControl(TemplateWriter& out, const res::ControlTemplate& c) {
    out.AlignToDword();
    out.Dword(0);  // help id
    out.Dword(c.exStyle);
    out.Dword(WS_CHILD | WS_VISIBLE | KindOf(c.kind).baseStyle | c.style);
    for (int v : {c.x, c.y, c.width, c.height}) out.Word(uint16_t(int16_t(v)));
    out.Dword(uint32_t(c.id == -1 ? 0xFFFF : c.id));
    out.Word(0xFFFF);
    out.Word(KindOf(c.kind).windowClass);
    if (c.kind == res::ControlKind::Bitmap || c.kind == res::ControlKind::Icon) {
        out.Word(0xFFFF);  // a resource of the program, by number
        out.Word(uint16_t(std::stoi(c.text)));
    } else {
        out.Text(WideFromSaveText(c.text));
    }
    out.Word(0);  // no creation data
}

}  // namespace

std::vector<const res::ControlTemplate*> CreationOrder(const res::DialogTemplate& dialog) {
    std::vector<const res::ControlTemplate*> order;
    for (const res::ControlTemplate& c : dialog.controls) {
        if (c.labelFor != 0) continue;
        for (const res::ControlTemplate& caption : dialog.controls)
            if (caption.labelFor != 0 && caption.labelFor == c.id) order.push_back(&caption);
        order.push_back(&c);
    }
    return order;
}

std::vector<uint32_t> BuildDialogTemplateEx(const res::DialogTemplate& dialog) {
    TemplateWriter out;
    out.Word(1);
    out.Word(0xFFFF);
    out.Dword(0);  // help id
    out.Dword(dialog.exStyle);
    out.Dword(dialog.style);
    const std::vector<const res::ControlTemplate*> controls = CreationOrder(dialog);
    out.Word(uint16_t(controls.size()));
    for (int v : {dialog.x, dialog.y, dialog.width, dialog.height}) out.Word(uint16_t(int16_t(v)));
    out.Word(0);  // no menu
    out.Word(0);  // the dialog class
    out.Text(WideFromSaveText(dialog.caption));
    if (dialog.style & DS_SETFONT) {
        out.Word(kDialogFontPoints);
        out.Word(FW_NORMAL);
        out.Word(DEFAULT_CHARSET << 8);  // italic 0, then the character set
        out.Text(kDialogFontName);
    }
    for (const res::ControlTemplate* c : controls) WriteControl(out, *c);
    return out.Finish();
}

}  // namespace quellhart::ui
