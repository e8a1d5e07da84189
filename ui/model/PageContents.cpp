#include "ui/model/PageContents.h"

#include <algorithm>
#include <span>

#include "res/ControlIds.h"
#include "res/EditorLimits.h"
#include "savefile/ValueText.h"

namespace quellhart::ui {

std::string HexDumpText(const uint8_t* bytes, int count) {
    return count > 0 ? HexDump(std::span<const uint8_t>(bytes, size_t(count))) : "";
}

PlayerRecord RecordFromShownTexts(const PlayerRecord& stored, EditablePlayerTexts shown) {
    for (size_t i = 0; i < shown.size(); ++i) {
        if (shown[i] == stored[kEditablePlayerFields[i]].Text()) continue;
        if (shown[i].size() > limits::kPlayerTextBytes) shown[i].resize(limits::kPlayerTextBytes);
    }
    return EditedPlayerRecord(stored, shown);
}

std::vector<FieldText> GlobFieldTexts(const GlobEntry& glob) {
    const auto valueBytes = glob.ValueBytes();
    return {
        {IDC_GLOB_RAW_ADDRESS, FormatHexOffset(glob.rawAddress)},
        {IDC_GLOB_UNK1, HexDumpText(glob.unk1.data(), int(glob.unk1.size()))},
        {IDC_GLOB_NAME_LEN, std::to_string(glob.NameLen())},
        {IDC_GLOB_NAME, std::string(glob.NameText())},
        {IDC_GLOB_FNAM_LEN, std::to_string(glob.fnamLen())},
        {IDC_GLOB_FNAM,
         HexDumpText(reinterpret_cast<const uint8_t*>(glob.fnam.data()), glob.fnamLen())},
        {IDC_GLOB_VALUE_LEN, std::to_string(glob.valueLen)},
        // Never more than the four bytes the slot holds, whatever the length says.
        {IDC_GLOB_VALUE_RAW,
         HexDumpText(valueBytes.data(), std::min(glob.valueLen, kGlobValueBytes))},
        {IDC_GLOB_VALUE, FormatFixed(double(glob.value))},
    };
}

}  // namespace quellhart::ui
