// Private to the Qt implementation. Window texts are single-byte strings in the save's
// code page, as the save stores them. A control shows them decoded with every byte
// kept, and reading a control encodes back with the same table, a character the code
// page cannot hold becoming "?".
#pragma once

#include <QString>
#include <string>
#include <string_view>

#include "codepage/CodePage.h"

class QComboBox;
class QLineEdit;

namespace quellhart::ui {

inline QString FromSaveText(std::string_view bytes) {
    return QString::fromStdString(SaveTextCodePage().Decode(bytes));
}

inline std::string ToSaveText(const QString& text) {
    return SaveTextCodePage().Encode(text.toStdString());
}

// A text put into a field by the program shows its start, as the framework's edit
// controls do; Qt would leave the cursor at the end and show the end of a long text.
void SetTextShowingStart(QLineEdit* edit, const QString& text);
void SetEditTextShowingStart(QComboBox* combo, const QString& text);

}  // namespace quellhart::ui
