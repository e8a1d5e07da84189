#include "savefile/SaveCopier.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <utility>

namespace quellhart {
namespace {

constexpr int64_t kBlockBytes = 1 << 20;
constexpr int64_t kWriteBackBytes = 2 << 20;

// Puts the parts of `patches` that fall within [offset, offset + size) into `block`.
void ApplyPatches(char* block, int64_t offset, size_t size, std::span<const ValuePatch> patches) {
    for (const ValuePatch& patch : patches) {
        const int64_t from = std::max(offset, patch.offset);
        const int64_t to = std::min(offset + int64_t(size), patch.offset + int64_t(patch.length));
        if (from < to)
            std::memcpy(block + (from - offset), patch.bytes.data() + (from - patch.offset),
                        size_t(to - from));
    }
}

}  // namespace

bool SaveCopier::Copy(int64_t from, int64_t count, std::span<const ValuePatch> patches) {
    if (count > int64_t(block_.size())) block_.resize(size_t(std::min(count, kBlockBytes)));
    for (int64_t done = 0; done < count;) {
        const size_t want = size_t(std::min(count - done, int64_t(block_.size())));
        size_t got = 0;
        if (FileStatus read = files_.ReadAt(save_, from + done, block_.data(), want, got);
            !read.Ok())
            return Failed(std::move(read));
        if (got != want) {
            endedEarly_ = true;
            return Failed({FileError::kFailed,
                           "It ended " + std::to_string(from + done + int64_t(got)) +
                               " bytes in, before the end of the save as it was loaded",
                           {}});
        }
        copied_.Add(block_.data(), want);
        ApplyPatches(block_.data(), written_, want, patches);
        if (FileStatus wrote = files_.WriteAt(work_, written_, block_.data(), want); !wrote.Ok())
            return Failed(std::move(wrote));
        Advance(int64_t(want));
        done += int64_t(want);
    }
    return true;
}

bool SaveCopier::Write(const std::vector<char>& bytes) {
    if (FileStatus wrote = files_.WriteAt(work_, written_, bytes.data(), bytes.size()); !wrote.Ok())
        return Failed(std::move(wrote));
    Advance(int64_t(bytes.size()));
    return true;
}

bool SaveCopier::Failed(FileStatus status) {
    failure_ = std::move(status);
    return false;
}

void SaveCopier::Advance(int64_t count) {
    written_ += count;
    if (written_ - writeBackFrom_ >= kWriteBackBytes) {
        files_.StartWriteBack(work_, writeBackFrom_, written_ - writeBackFrom_);
        writeBackFrom_ = written_;
    }
}

}  // namespace quellhart
