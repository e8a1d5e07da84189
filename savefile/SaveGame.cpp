#include "SaveGame.h"

#include "SaveErrors.h"
#include "SiblingPaths.h"

namespace quellhart {

CSaveGame::CSaveGame() = default;

CSaveGame::~CSaveGame() {
    ClearModel();
    input.Close();
}

bool CSaveGame::Open(const std::string& path) {
    if (blocked) {
        SetError(errors::kBlocked);
        return false;
    }
    auto work = WorkPathFor(path);
    if (!work) {
        SetError(errors::kNoEssInName);
        return false;
    }
    savePath = path;
    workPath = *work;
    readOnly = false;
    DeleteWorkFile(workPath);  // a stale one from an interrupted commit
    return OpenInput();
}

bool CSaveGame::OpenReadOnly(const std::string& path) {
    if (blocked) {
        SetError(errors::kBlocked);
        return false;
    }
    savePath = path;
    workPath.clear();
    readOnly = true;
    return OpenInput();
}

bool CSaveGame::OpenInput() {
    if (!input.Open(savePath)) {
        SetError(errors::kUnableToOpenSave);
        return false;
    }
    uint32_t magic = 0;
    if (!input.ReadValue(magic) || magic != kTagTES3) {
        SetError(errors::kNotASave);
        input.Close();
        return false;
    }
    return true;
}

int32_t CSaveGame::PrefixLength(const PlayerRecord& record) {
    int32_t length = kPlayerPrefixFixedBytes;
    for (const Subrecord& sub : record.subrecords) length += int32_t(sub.Text().size()) + 1;
    return length;
}

void CSaveGame::SetPlayerData(const PlayerRecord& record) {
    // A blocked document still takes the data; the commit that follows refuses.
    if (blocked) SetError(errors::kBlocked);
    PlayerRecord edited;
    edited.size = readPlayer.size - readPrefixLength + PrefixLength(record);
    edited.header = record.header;
    for (size_t i = 0; i < edited.subrecords.size(); ++i)
        edited.subrecords[i] = Subrecord::FromText(record.subrecords[i].Text());
    player = std::move(edited);
    playerRawAddress = readRawAddress;
}

void CSaveGame::ClearModel() {
    // Every slot, not only the first globCount: a slot whose reading failed half-way
    // holds buffers too.
    for (GlobEntry& slot : globs) slot = GlobEntry{};
    globCount = 0;
    player = PlayerRecord{};
    readPlayer = PlayerRecord{};
}

bool CSaveGame::Fail(const char* text) {
    SetError(text);
    ClearModel();
    return false;
}

}  // namespace quellhart
