// The records of a save that the editor models: one global variable, and the
// prefix of the player character's record.
#pragma once

#include <array>
#include <bit>
#include <cstdint>
#include <cstring>
#include <iterator>
#include <string>
#include <string_view>
#include <vector>

#include "savefile/SaveFormat.h"

namespace quellhart {

static_assert(std::endian::native == std::endian::little,
              "save values are little-endian floats and are copied as they lie in memory");

// One subrecord's data. Texts are stored with their terminating zero, counted in
// the length.
struct Subrecord {
    std::vector<char> data;

    int32_t length() const { return int32_t(data.size()); }

    // The data up to its first zero byte, or all of it when it holds none.
    std::string_view Text() const {
        std::string_view all(data.data(), data.size());
        return all.substr(0, all.find('\0'));
    }

    static Subrecord FromText(std::string_view text) {
        Subrecord s;
        s.data.assign(text.begin(), text.end());
        s.data.push_back('\0');
        return s;
    }
};

// The leading part of the player's "NPC_" record: size word, header bytes and the
// seven subrecords NAME, FNAM, RNAM, CNAM, ANAM, BNAM, KNAM in that order.
struct PlayerRecord {
    enum Field { NAME, FNAM, RNAM, CNAM, ANAM, BNAM, KNAM };

    int32_t size = 0;
    std::array<uint8_t, kRecordHeaderBytes> header{};
    std::array<Subrecord, kPlayerSubrecordCount> subrecords;

    Subrecord& operator[](Field f) { return subrecords[f]; }
    const Subrecord& operator[](Field f) const { return subrecords[f]; }
};

// The five texts the user may change, in this order wherever they travel together.
inline constexpr PlayerRecord::Field kEditablePlayerFields[] = {
    PlayerRecord::FNAM, PlayerRecord::RNAM, PlayerRecord::CNAM, PlayerRecord::BNAM,
    PlayerRecord::KNAM};
using EditablePlayerTexts = std::array<std::string, std::size(kEditablePlayerFields)>;

// The record an edit hands to SetPlayerData: size word, header, NAME and ANAM kept
// from `current`, the five texts (in kEditablePlayerFields order) given.
inline PlayerRecord EditedPlayerRecord(const PlayerRecord& current,
                                       const EditablePlayerTexts& texts) {
    PlayerRecord record;
    record.size = current.size;
    record.header = current.header;
    record[PlayerRecord::NAME] = current[PlayerRecord::NAME];
    record[PlayerRecord::ANAM] = current[PlayerRecord::ANAM];
    for (size_t i = 0; i < texts.size(); ++i)
        record[kEditablePlayerFields[i]] = Subrecord::FromText(texts[i]);
    return record;
}

// One global variable as found in the GLOB run.
struct GlobEntry {
    int32_t rawAddress = 0;  // offset of the record's "GLOB" tag
    bool modified = false;   // value changed by the user, not yet written and verified
    std::array<uint8_t, kGlobUnknownBytes> unk1{};
    std::vector<char> name;  // zero-terminated as stored
    std::vector<char> fnam;  // opaque
    int32_t valueLen = 0;    // 0 to 4; a shorter value leaves the rest of the slot zero
    float value = 0.0f;

    int32_t NameLen() const { return int32_t(name.size()); }
    int32_t fnamLen() const { return int32_t(fnam.size()); }

    // The name up to its first zero byte, or all of it when it holds none.
    std::string_view NameText() const {
        std::string_view all(name.data(), name.size());
        return all.substr(0, all.find('\0'));
    }

    // The value's bytes as they lie in the file.
    std::array<uint8_t, kGlobValueBytes> ValueBytes() const {
        std::array<uint8_t, kGlobValueBytes> bytes;
        std::memcpy(bytes.data(), &value, bytes.size());
        return bytes;
    }
    void SetValueBytes(const std::array<uint8_t, kGlobValueBytes>& bytes) {
        std::memcpy(&value, bytes.data(), bytes.size());
    }
};

}  // namespace quellhart
