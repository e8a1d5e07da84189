// Composes save images for tests, record by record, so that every test states the
// save it needs as a list of records. Offset() before an Add tells where the record
// will start.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace quellhart::test {

struct Sub {
    std::string tag;
    std::string data;
};

// A text subrecord: the text and its terminating zero.
inline Sub TextSub(std::string tag, std::string_view text) {
    return {std::move(tag), std::string(text) + '\0'};
}

struct PlayerTexts {
    std::string name = "Bob";
    std::string race = "Nord";
    std::string cls = "Warrior";
    std::string anam = "ANAMdata";
    std::string head = "b_n_nord_m_head_01";
    std::string hair = "b_n_nord_m_hair_02";
};

std::string LittleEndian32(uint32_t value);
std::string FloatBytes(float value);

class SaveBuilder {
public:
    // "TES3" and its header record, holding `headerBytes` bytes of zeros.
    SaveBuilder& Header(size_t headerBytes = 300);
    // Any record: tag, size word, 8 header bytes, subrecords.
    SaveBuilder& Record(std::string_view tag, const std::vector<Sub>& subs,
                        std::string_view header8 = std::string(8, '\0'));
    SaveBuilder& Glob(std::string_view name, float value, std::string_view fnam = "f");
    SaveBuilder& Globs(int count, std::string_view prefix = "var");
    SaveBuilder& Clas(std::string_view name);
    // An "NPC_" record with the player prefix and a trailing NPDT subrecord.
    SaveBuilder& Player(const PlayerTexts& texts = {});
    SaveBuilder& Npc(std::string_view name, const std::vector<Sub>& extra = {});
    // A record of some other kind holding `bytes` bytes in total, no tags inside.
    SaveBuilder& Filler(size_t bytes);
    SaveBuilder& Raw(std::string_view bytes);
    // Pads with zero bytes up to `offset`.
    SaveBuilder& PadTo(size_t offset);

    size_t Offset() const { return bytes_.size(); }
    const std::string& Bytes() const { return bytes_; }
    void WriteTo(const std::string& path) const;

private:
    std::string bytes_;
};

// A small valid save: header, three globals, a filler, the player, a trailing record.
SaveBuilder StandardSave();

}  // namespace quellhart::test
