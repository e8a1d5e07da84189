// CSaveGame::Commit: rebuilds the save into the work file (".out") with the edited
// player prefix, patches every changed global into it and reads each one back, makes
// the work file durable, and only then swaps it in: the old save becomes the backup
// (".bak") and the work file takes the save's name. Until that swap succeeds the save
// keeps its old bytes; every failure deletes the work file.
#include <filesystem>
#include <fstream>
#include <system_error>
#include <vector>

#include "FileSync.h"
#include "SaveErrors.h"
#include "SaveGame.h"
#include "SiblingPaths.h"

namespace quellhart {
namespace {

constexpr size_t kCopyBlockBytes = 1 << 20;

template <typename T>
void WriteValue(std::ostream& out, const T& value) {
    out.write(reinterpret_cast<const char*>(&value), sizeof value);
}

template <typename T>
bool ReadValue(std::ifstream& in, T& value) {
    return bool(in.read(reinterpret_cast<char*>(&value), sizeof value));
}

// Copies `bytes` bytes, or everything up to the end of `in` when `bytes` is negative.
// Returns how many bytes were written.
int64_t CopyBytes(SaveInput& in, std::ostream& out, int64_t bytes) {
    std::vector<char> block(kCopyBlockBytes);
    int64_t copied = 0;
    while (in && out && (bytes < 0 || copied < bytes)) {
        const int64_t want = bytes < 0 ? int64_t(block.size())
                                       : std::min<int64_t>(int64_t(block.size()), bytes - copied);
        const size_t got = in.Read(block.data(), size_t(want));
        if (got > 0 && out.write(block.data(), std::streamsize(got))) copied += int64_t(got);
    }
    return copied;
}

}  // namespace

bool CSaveGame::Commit() {
    if (blocked || readOnly) {
        SetError(errors::kBlocked);
        return false;
    }
    blocked = true;
    DeleteWorkFile(workPath);

    bool written = RebuildOutFile();
    for (int i = 0; written && i < globCount; ++i)
        if (globs[size_t(i)].modified) written = PatchGlob(i, globs[size_t(i)].ValueBytes());
    if (written && !SyncFileToDisk(workPath)) {
        SetError(errors::kReconstructionTail);
        written = false;
    }
    if (!written || !SwapInWorkFile()) {
        DeleteWorkFile(workPath);
        return false;
    }
    input.Close();
    return true;
}

bool CSaveGame::SwapInWorkFile() {
    const std::string backupPath = *BackupPathFor(savePath);
    std::error_code error;
    // rename replaces an existing backup file, and fails on a folder of that name.
    std::filesystem::rename(savePath, backupPath, error);
    if (error) {
        SetError(errors::kRenameSaveToBackup);
        return false;
    }
    std::filesystem::rename(workPath, savePath, error);
    if (error) {
        std::filesystem::rename(backupPath, savePath, error);
        SetError(errors::kRenameWorkToSave);
        return false;
    }
    SyncFolderToDisk(savePath);
    return true;
}

bool CSaveGame::RebuildOutFile() {
    // Without a loaded player record there is nothing to put in its place, and writing
    // an empty prefix at offset 0 would wreck the save.
    if (player[PlayerRecord::NAME].data.empty()) {
        SetError(errors::kReconstruction);
        return false;
    }
    std::ofstream out(workPath, std::ios::out | std::ios::binary | std::ios::trunc);
    if (!out.is_open()) {
        SetError(errors::kOpenOutForWrite);
        return false;
    }
    input.Clear();
    input.Seek(0);
    int64_t written = CopyBytes(input, out, readRawAddress);
    if (!input || !out || written != readRawAddress) {
        SetError(errors::kReconstruction);
        return false;
    }

    WriteValue(out, kTagNPC_);
    WriteValue(out, player.size);
    WriteValue(out, player.header);
    for (size_t i = 0; i < player.subrecords.size(); ++i) {
        const Subrecord& sub = player.subrecords[i];
        const int32_t length = sub.length();
        WriteValue(out, kPlayerSubrecordTags[i]);
        WriteValue(out, length);
        out.write(sub.data.data(), length);
    }
    if (!out) {
        SetError(errors::kReconstruction);
        return false;
    }
    written += PrefixLength(player);

    input.Skip(readPrefixLength);
    written += CopyBytes(input, out, -1);
    // The tail copy must have stopped at the end of the save, and every byte must be
    // on disk: a full disk or a size limit can fail the flush or the close as well.
    const bool reachedEnd = written == input.Size() - readPrefixLength + PrefixLength(player);
    out.flush();
    const bool flushed = bool(out);
    out.close();
    std::error_code error;
    const auto onDisk = std::filesystem::file_size(workPath, error);
    if (!reachedEnd || !flushed || out.fail() || error || int64_t(onDisk) != written) {
        SetError(errors::kReconstructionTail);
        return false;
    }
    return true;
}

bool CSaveGame::PatchGlob(int index, const std::array<uint8_t, kGlobValueBytes>& bytes) {
    GlobEntry& slot = globs[size_t(index)];
    if (!slot.modified) return true;
    const std::array<uint8_t, kGlobValueBytes> wanted = bytes;
    const auto valueLen = std::streamsize(slot.valueLen);

    std::ifstream check(workPath, std::ios::in | std::ios::binary);
    if (!check.is_open()) {
        SetError(errors::kOpenOutForRead);
        return false;
    }
    check.seekg(0, std::ios::end);
    const int64_t workSize = check.tellg();
    auto fitsInFile = [&](int32_t length) {
        return length >= 0 && length <= workSize - int64_t(check.tellg());
    };

    uint32_t tag = 0;
    check.seekg(slot.rawAddress);
    if (!ReadValue(check, tag) || tag != kTagGLOB) {
        SetError(errors::kNoGlobAtAddress);
        return false;
    }
    // The stored name matches when it begins with the slot's whole name; it is
    // compared in a buffer of the slot's size and the rest of it is skipped.
    int32_t storedNameLen = 0;
    check.seekg(kGlobUnknownBytes + kTagSize, std::ios::cur);
    std::vector<char> storedName(slot.name.size());
    if (!ReadValue(check, storedNameLen) || !fitsInFile(storedNameLen)) {
        SetError(errors::kGlobExtractionFromOut);
        return false;
    }
    if (storedNameLen < slot.NameLen() ||
        !check.read(storedName.data(), std::streamsize(storedName.size())) ||
        storedName != slot.name) {
        SetError(errors::kGlobNotLocated);
        return false;
    }
    int32_t fnamLen = 0;
    check.seekg(std::streamoff(storedNameLen) - slot.NameLen() + kTagSize, std::ios::cur);
    // The value must lie inside the work file: writing past its end would grow it.
    if (!ReadValue(check, fnamLen) || !fitsInFile(fnamLen) ||
        !check.seekg(std::streamoff(fnamLen) + kTagSize + 4, std::ios::cur) ||
        int64_t(check.tellg()) + valueLen > workSize) {
        SetError(errors::kGlobExtractionFromOut);
        return false;
    }
    const int64_t valueOffset = check.tellg();
    check.close();

    std::fstream patch(workPath, std::ios::in | std::ios::out | std::ios::binary);
    if (!patch.is_open()) {
        SetError(errors::kOpenOutForPatch);
        return false;
    }
    patch.seekp(valueOffset);
    patch.write(reinterpret_cast<const char*>(wanted.data()), valueLen);
    patch.flush();
    if (!patch) {
        SetError(errors::kGlobWrite);
        return false;
    }
    patch.close();

    std::array<uint8_t, kGlobValueBytes> readBack{};
    std::ifstream verify(workPath, std::ios::in | std::ios::binary);
    verify.seekg(valueOffset);
    const bool read = bool(verify.read(reinterpret_cast<char*>(readBack.data()), valueLen));
    slot.SetValueBytes(readBack);
    if (!read || !std::equal(wanted.begin(), wanted.begin() + valueLen, readBack.begin())) {
        SetError(errors::kGlobVerify);
        return false;
    }
    slot.modified = false;
    return true;
}

}  // namespace quellhart
