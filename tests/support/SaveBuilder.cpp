#include "tests/support/SaveBuilder.h"

#include <cstring>
#include <fstream>
#include <stdexcept>

namespace quellhart::test {

std::string LittleEndian32(uint32_t value) {
    std::string s(4, '\0');
    for (int i = 0; i < 4; ++i) s[size_t(i)] = char(value >> (8 * i));
    return s;
}

std::string FloatBytes(float value) {
    uint32_t bits = 0;
    std::memcpy(&bits, &value, sizeof bits);
    return LittleEndian32(bits);
}

SaveBuilder& SaveBuilder::Header(size_t headerBytes) {
    return Record("TES3", {{"HEDR", std::string(headerBytes, '\0')}});
}

SaveBuilder& SaveBuilder::Record(std::string_view tag, const std::vector<Sub>& subs,
                                 std::string_view header8) {
    std::string body;
    for (const Sub& sub : subs)
        body += sub.tag + LittleEndian32(uint32_t(sub.data.size())) + sub.data;
    bytes_ +=
        std::string(tag) + LittleEndian32(uint32_t(body.size())) + std::string(header8) + body;
    return *this;
}

SaveBuilder& SaveBuilder::Glob(std::string_view name, float value, std::string_view fnam) {
    return Record(
        "GLOB", {TextSub("NAME", name), {"FNAM", std::string(fnam)}, {"FLTV", FloatBytes(value)}});
}

SaveBuilder& SaveBuilder::Globs(int count, std::string_view prefix) {
    for (int i = 0; i < count; ++i) Glob(std::string(prefix) + std::to_string(i), float(i));
    return *this;
}

SaveBuilder& SaveBuilder::Clas(std::string_view name) {
    return Record("CLAS", {TextSub("NAME", name), {"CLDT", std::string(60, '\x01')}});
}

SaveBuilder& SaveBuilder::Player(const PlayerTexts& t) {
    return Npc("player", {TextSub("FNAM", t.name),
                          TextSub("RNAM", t.race),
                          TextSub("CNAM", t.cls),
                          TextSub("ANAM", t.anam),
                          TextSub("BNAM", t.head),
                          TextSub("KNAM", t.hair),
                          {"NPDT", std::string(52, '\x07')}});
}

SaveBuilder& SaveBuilder::Npc(std::string_view name, const std::vector<Sub>& extra) {
    std::vector<Sub> subs{TextSub("NAME", name)};
    subs.insert(subs.end(), extra.begin(), extra.end());
    return Record("NPC_", subs, "\x01\x02\x03\x04\x05\x06\x07\x08");
}

SaveBuilder& SaveBuilder::Filler(size_t bytes) {
    if (bytes < 24) throw std::invalid_argument("a filler record needs at least 24 bytes");
    return Record("CELL", {{"DATA", std::string(bytes - 24, 'x')}});
}

SaveBuilder& SaveBuilder::Raw(std::string_view bytes) {
    bytes_ += bytes;
    return *this;
}

SaveBuilder& SaveBuilder::PadTo(size_t offset) {
    if (offset < bytes_.size()) throw std::invalid_argument("PadTo would go backwards");
    bytes_.resize(offset, '\0');
    return *this;
}

void SaveBuilder::WriteTo(const std::string& path) const {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes_.data(), std::streamsize(bytes_.size()));
    if (!out.flush()) throw std::runtime_error("cannot write test save " + path);
}

SaveBuilder StandardSave() {
    SaveBuilder b;
    b.Header().Glob("Day", 12.0f).Glob("Month", 3.0f).Glob("GameHour", 9.5f);
    b.Record("FACT", {TextSub("NAME", "Guild")}).Filler(500).Player().Filler(200);
    return b;
}

}  // namespace quellhart::test
