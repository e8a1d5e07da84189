// Window texts are single-byte Windows-1252 strings, as the save stores them. A
// control shows them decoded with every byte kept, and reading a control encodes
// back with the same table, a character the code page cannot hold becoming "?".
#pragma once

#include <QString>
#include <string>
#include <string_view>

#include "codepage/Windows1252.h"

namespace quellhart::ui {

inline QString FromSaveText(std::string_view bytes) {
    return QString::fromStdString(DecodeWindows1252(bytes));
}

inline std::string ToSaveText(const QString& text) { return EncodeWindows1252(text.toStdString()); }

}  // namespace quellhart::ui
