// CSaveGame::Load: finds the GLOB run, reads it, probes the record after it for the
// chargen class, then finds and reads the player's record prefix.
//
// Both searches are defined as a scan in 1024-byte windows, each starting 4 bytes
// before the end of the one before, returning the first tag that lies wholly inside
// a window. Those windows cover every start offset p >= s exactly with the ranges
// [s + 1020k, s + 1020k + 1020], so the scan finds the first whole occurrence of the
// tag at or after its start. SaveInput::FindTag finds that same occurrence in its
// read-ahead buffer, reading the file forward once.
//
// `input` keeps the classic stream state the outcomes rest on: a short read leaves it
// failed, seeking does not clear that, and only a found tag clears it.
#include <algorithm>
#include <cstring>
#include <limits>
#include <vector>

#include "savefile/SaveErrors.h"
#include "savefile/SaveGame.h"

namespace quellhart {

int CSaveGame::FindTag(const char* window, int count, uint32_t tag) {
    return FindTagIn(window, count, tag);
}

bool CSaveGame::ReadGlobRecord(GlobEntry& slot, int64_t offset) {
    // A length that is negative, longer than any real field or larger than what is
    // left of the file cannot be a real record: it fails before anything is allocated.
    auto readLength = [&](int32_t& length, int64_t limit) {
        return input.ReadValue(length) && length >= 0 && length <= limit &&
               length <= input.Remaining();
    };
    if (offset > std::numeric_limits<int32_t>::max()) return false;
    slot.rawAddress = int32_t(offset);
    slot.modified = false;
    int32_t nameLen = 0, fnamLen = 0;
    if (!input.ReadValue(slot.unk1) || !input.Skip(kTagSize) ||
        !readLength(nameLen, kMaxFieldBytes))
        return false;
    slot.name.resize(size_t(nameLen));
    if (input.Read(slot.name.data(), slot.name.size()) != slot.name.size() ||
        !input.Skip(kTagSize) || !readLength(fnamLen, kMaxFieldBytes))
        return false;
    slot.fnam.resize(size_t(fnamLen));
    // A value longer than the 4-byte slot would have nowhere to go.
    if (input.Read(slot.fnam.data(), slot.fnam.size()) != slot.fnam.size() ||
        !input.Skip(kTagSize) || !readLength(slot.valueLen, kGlobValueBytes))
        return false;
    std::array<uint8_t, kGlobValueBytes> bytes{};
    if (input.Read(bytes.data(), size_t(slot.valueLen)) != size_t(slot.valueLen)) return false;
    slot.SetValueBytes(bytes);
    return true;
}

// Reads the record right after the GLOB run; a failed input reads nothing.
void CSaveGame::ProbeChargenClass() {
    chargenClass = false;
    uint32_t tag = 0;
    input.Skip(-kTagSize);
    if (!input.ReadValue(tag) || tag != kTagCLAS) return;
    if (!input.Skip(kGlobUnknownBytes) || !input.ReadValue(tag) || tag != kTagNAME) return;
    char name[kChargenClassId.size()];
    if (input.Skip(4) && input.Read(name, sizeof name) == sizeof name)
        chargenClass = std::string_view(name, sizeof name) == kChargenClassId;
}

bool CSaveGame::ReadSubrecord(Subrecord& into, uint32_t* tag) {
    int32_t length = 0;
    if (!input.ReadValue(*tag) || !input.ReadValue(length) || length < 0 ||
        length > kMaxFieldBytes || length > input.Remaining())
        return false;
    into.data.resize(size_t(length));
    return input.Read(into.data.data(), into.data.size()) == into.data.size();
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
    if (blocked) return Refuse(errors::kBlocked);
    // Loaded before: the save under its name now is read afresh.
    if (input.IsLetGo())
        if (const FileStatus opened = input.Open(savePath); !opened.Ok())
            return Fail(errors::kUnableToOpenSave, opened);
    try {
        // An editable save is fingerprinted as it loads: a commit copies it only if it
        // copies these bytes.
        if (!readOnly) input.StartFingerprint();
        if (!LoadModel()) return false;
        if (!readOnly) {
            uint64_t fingerprint = 0;
            if (const FileStatus read = input.FinishFingerprint(fingerprint); !read.Ok())
                return Fail(errors::kPlayerExtraction, read);
            fingerprintAsLoaded = fingerprint;
        }
        // Everything the commit needs of the save as loaded is held in memory now.
        input.LetGo();
        return true;
    } catch (const std::exception&) {
        // Only an allocation can throw here, and every field is at most 1 MiB: the
        // machine has run out of memory. The save is not read any further.
        return Fail(errors::kGlobExtraction);
    }
}

bool CSaveGame::LoadModel() {
    ClearModel();
    chargenClass = false;

    if (!input.Seek(0) || !input.FindTag(kTagGLOB)) return Fail(errors::kNoGlobSection);
    const int64_t runStart = input.Tell();
    int64_t runEnd = runStart;
    while (globCount < kMaxGlobs) {
        const int64_t offset = input.Tell();
        uint32_t tag = 0;
        if (!input.ReadValue(tag) || tag != kTagGLOB) break;
        if (!ReadGlobRecord(globs[size_t(globCount)], offset)) return Fail(errors::kGlobExtraction);
        ++globCount;
        runEnd = input.Tell();
    }

    ProbeChargenClass();
    if (!input.Skip(-kTagSize)) return Fail(errors::kNoPlayerData);

    // Candidates are read one after another; the search goes on right after a
    // rejected candidate's NAME data.
    while (true) {
        const std::optional<int64_t> found = input.FindTag(kTagNPC_);
        if (!found) return Fail(errors::kNoPlayerData);
        if (*found > std::numeric_limits<int32_t>::max()) return Fail(errors::kPlayerSearch);
        readRawAddress = int32_t(*found);
        uint32_t tag = 0;
        if (!input.ReadValue(tag) || !input.ReadValue(readPlayer.size) ||
            !input.ReadValue(readPlayer.header) ||
            !ReadSubrecord(readPlayer[PlayerRecord::NAME], &tag))
            return Fail(errors::kPlayerSearch);
        const std::vector<char>& name = readPlayer[PlayerRecord::NAME].data;
        if (name.size() >= kPlayerId.size() &&
            std::equal(kPlayerId.begin(), kPlayerId.end(), name.begin())) {
            if (tag != kTagNAME || !ReadPlayerRest()) break;  // a malformed player record
            readPrefixLength = int32_t(input.Tell() - readRawAddress);
            if (const FileStatus kept = RememberReliedOnBytes(runStart, runEnd); !kept.Ok())
                return Fail(errors::kPlayerExtraction, kept);
            SetPlayerData(readPlayer);
            return true;
        }
    }
    input.Close();
    return Fail(errors::kPlayerExtraction);
}

}  // namespace quellhart
