// CSaveGame::Load: finds the GLOB run, reads it, probes the record after it for the
// chargen class, then finds and reads the player's record prefix.
//
// Both searches are defined as a scan in 1024-byte windows, each starting 4 bytes
// before the end of the one before, returning the first tag that lies wholly inside
// a window. Those windows cover every start offset p >= s exactly with the ranges
// [s + 1020k, s + 1020k + 1020], so the scan finds the first whole occurrence of the
// tag at or after its start. ScanForTag finds the same occurrence reading the file
// forward once in large blocks.
//
// `input` keeps the classic stream state the outcomes rest on: a short read leaves it
// failed, seeking does not clear that, and only a found tag clears it.
#include <algorithm>
#include <cstring>
#include <limits>
#include <vector>

#include "SaveErrors.h"
#include "SaveGame.h"

namespace quellhart {
namespace {

// The scan reads small blocks first and doubles them while nothing is found: records
// lie close together, and every hit moves the stream back to the tag, so what was
// read past a hit is read again. Doubling keeps that re-read below what was scanned.
constexpr size_t kFirstScanBlockBytes = 4 << 10;
constexpr size_t kLargestScanBlockBytes = 1 << 20;

template <typename T>
bool ReadValue(std::istream& in, T& value) {
    return bool(in.read(reinterpret_cast<char*>(&value), sizeof value));
}

bool Skip(std::istream& in, std::streamoff bytes) {
    return bool(in.seekg(bytes, std::ios::cur));
}

}  // namespace

int CSaveGame::FindTag(const char* window, int count, uint32_t tag) {
    const char first = char(tag & 0xFF);
    const char* end = window + std::max(count, 0);
    for (const char* p = window; end - p >= kTagSize;) {
        p = static_cast<const char*>(std::memchr(p, first, size_t(end - p - (kTagSize - 1))));
        if (!p) break;
        uint32_t word;
        std::memcpy(&word, p, sizeof word);
        if (word == tag) return int(p - window);
        ++p;
    }
    return -1;
}

// Scans forward from the current offset. On a hit the stream is cleared and moved to
// the tag; otherwise it is left failed at the end of the file.
std::optional<int64_t> CSaveGame::ScanForTag(uint32_t tag) {
    std::vector<char> block;
    int64_t blockStart = input.tellg();
    if (blockStart < 0) return std::nullopt;
    size_t carried = 0;  // the last bytes of the previous block, a tag's head maybe
    for (size_t blockBytes = kFirstScanBlockBytes;;
         blockBytes = std::min(2 * blockBytes, kLargestScanBlockBytes)) {
        block.resize(carried + blockBytes);
        input.read(block.data() + carried, std::streamsize(blockBytes));
        const size_t delivered = carried + size_t(input.gcount());
        const int hit = FindTag(block.data(), int(delivered), tag);
        if (hit >= 0) {
            input.clear();
            const int64_t at = blockStart + hit;
            input.seekg(at);
            return at;
        }
        if (!input) return std::nullopt;
        carried = std::min<size_t>(delivered, kTagSize - 1);
        std::memmove(block.data(), block.data() + delivered - carried, carried);
        blockStart += int64_t(delivered - carried);
    }
}

int64_t CSaveGame::RemainingBytes() {
    const int64_t at = input.tellg();
    return at < 0 ? 0 : inputSize - at;
}

bool CSaveGame::ReadGlobRecord(GlobEntry& slot, int64_t offset) {
    // A length that is negative or larger than what is left of the file cannot be a
    // real record: it fails before anything is allocated.
    auto readLength = [&](int32_t& length, int64_t limit) {
        return ReadValue(input, length) && length >= 0 && length <= limit &&
               length <= RemainingBytes();
    };
    constexpr int64_t kAnyLength = std::numeric_limits<int32_t>::max();
    if (offset > std::numeric_limits<int32_t>::max()) return false;
    slot.rawAddress = int32_t(offset);
    slot.modified = false;
    int32_t nameLen = 0, fnamLen = 0;
    if (!ReadValue(input, slot.unk1) || !Skip(input, kTagSize) || !readLength(nameLen, kAnyLength))
        return false;
    slot.name.resize(size_t(nameLen));
    if (!input.read(slot.name.data(), nameLen) || !Skip(input, kTagSize) ||
        !readLength(fnamLen, kAnyLength))
        return false;
    slot.fnam.resize(size_t(fnamLen));
    // A value longer than the 4-byte slot would have nowhere to go.
    if (!input.read(slot.fnam.data(), fnamLen) || !Skip(input, kTagSize) ||
        !readLength(slot.valueLen, kGlobValueBytes))
        return false;
    std::array<uint8_t, kGlobValueBytes> bytes{};
    if (!input.read(reinterpret_cast<char*>(bytes.data()), slot.valueLen)) return false;
    slot.SetValueBytes(bytes);
    return true;
}

// Reads the record right after the GLOB run; a failed stream reads nothing.
void CSaveGame::ProbeChargenClass() {
    chargenClass = false;
    uint32_t tag = 0;
    input.seekg(-kTagSize, std::ios::cur);
    if (!ReadValue(input, tag) || tag != kTagCLAS) return;
    if (!Skip(input, kGlobUnknownBytes) || !ReadValue(input, tag) || tag != kTagNAME) return;
    char name[kChargenClassId.size()];
    if (Skip(input, 4) && input.read(name, sizeof name))
        chargenClass = std::string_view(name, sizeof name) == kChargenClassId;
}

bool CSaveGame::ReadSubrecord(Subrecord& into, uint32_t* tag) {
    int32_t length = 0;
    if (!ReadValue(input, *tag) || !ReadValue(input, length) || length < 0 ||
        length > RemainingBytes())
        return false;
    into.data.resize(size_t(length));
    return bool(input.read(into.data.data(), length));
}

// The six subrecords after the player's NAME. They are rewritten with the tags FNAM
// to KNAM in that order, so a record that holds anything else there is refused rather
// than rewritten into a different record.
bool CSaveGame::ReadPlayerRest() {
    for (int i = PlayerRecord::FNAM; i <= PlayerRecord::KNAM; ++i) {
        uint32_t tag = 0;
        if (!ReadSubrecord(readPlayer.subrecords[size_t(i)], &tag) ||
            tag != kPlayerSubrecordTags[i])
            return false;
    }
    return true;
}

bool CSaveGame::Load() {
    if (blocked) {
        SetError(errors::kBlocked);
        return false;
    }
    ClearModel();
    chargenClass = false;

    input.seekg(0, std::ios::end);
    inputSize = input.tellg();
    input.seekg(0);
    if (!input) return Fail(errors::kNoGlobSection);

    if (!ScanForTag(kTagGLOB)) return Fail(errors::kNoGlobSection);
    while (globCount < kMaxGlobs) {
        const int64_t offset = input.tellg();
        uint32_t tag = 0;
        if (!ReadValue(input, tag) || tag != kTagGLOB) break;
        if (!ReadGlobRecord(globs[size_t(globCount)], offset)) return Fail(errors::kGlobExtraction);
        ++globCount;
    }

    ProbeChargenClass();
    input.seekg(-kTagSize, std::ios::cur);
    if (!input) return Fail(errors::kNoPlayerData);

    // Candidates are read one after another; the search goes on right after a
    // rejected candidate's NAME data.
    while (true) {
        const std::optional<int64_t> found = ScanForTag(kTagNPC_);
        if (!found) return Fail(errors::kNoPlayerData);
        if (*found > std::numeric_limits<int32_t>::max()) return Fail(errors::kPlayerSearch);
        readRawAddress = int32_t(*found);
        uint32_t tag = 0;
        if (!ReadValue(input, tag) || !ReadValue(input, readPlayer.size) ||
            !ReadValue(input, readPlayer.header) ||
            !ReadSubrecord(readPlayer[PlayerRecord::NAME], &tag))
            return Fail(errors::kPlayerSearch);
        const std::vector<char>& name = readPlayer[PlayerRecord::NAME].data;
        if (name.size() >= kPlayerId.size() &&
            std::equal(kPlayerId.begin(), kPlayerId.end(), name.begin())) {
            if (tag != kTagNAME) break;  // refused below, as a malformed player record
            if (!ReadPlayerRest()) break;
            readPrefixLength = int32_t(int64_t(input.tellg()) - readRawAddress);
            SetPlayerData(readPlayer);
            return true;
        }
    }
    input.close();
    return Fail(errors::kPlayerExtraction);
}

}  // namespace quellhart
