#include "savefile/SaveCopier.h"

#include <algorithm>
#include <cstring>
#include <utility>

namespace quellhart {
namespace {

constexpr int64_t kBlockBytes = 1 << 20;
// A multiple of every file system's block size.
constexpr int64_t kAlignBytes = 64 << 10;
// Also the largest piece the system copies at once, so that the hint follows closely.
constexpr int64_t kWriteBackBytes = 2 << 20;

int64_t AlignDown(int64_t offset) { return offset / kAlignBytes * kAlignBytes; }
int64_t AlignUp(int64_t offset) { return AlignDown(offset + kAlignBytes - 1); }

// The stretch within [begin, end) that holds every part of `patches` that falls
// within it, widened to aligned offsets; empty, at `end`, when none falls within.
std::pair<int64_t, int64_t> PatchedStretch(std::span<const ValuePatch> patches, int64_t begin,
                                           int64_t end) {
    int64_t from = end, to = begin;
    for (const ValuePatch& patch : patches) {
        const int64_t patchFrom = std::max(begin, patch.offset);
        const int64_t patchTo = std::min(end, patch.offset + int64_t(patch.length));
        if (patchFrom >= patchTo) continue;
        from = std::min(from, patchFrom);
        to = std::max(to, patchTo);
    }
    if (from >= to) return {end, end};
    return {std::max(begin, AlignDown(from)), std::min(end, AlignUp(to))};
}

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
    const int64_t start = written_;
    const auto [patchedFrom, patchedTo] = PatchedStretch(patches, start, start + count);
    return CopyUnpatched(from, patchedFrom - start) &&
           CopyThroughMemory(from + (patchedFrom - start), patchedTo - patchedFrom, patches) &&
           CopyUnpatched(from + (patchedTo - start), start + count - patchedTo);
}

bool SaveCopier::Write(const std::vector<char>& bytes) {
    if (FileStatus wrote = files_.WriteAt(work_, written_, bytes.data(), bytes.size()); !wrote.Ok())
        return Failed(std::move(wrote));
    Advance(int64_t(bytes.size()));
    return true;
}

bool SaveCopier::CopyUnpatched(int64_t from, int64_t count) {
    // Where both files' offsets agree in alignment, the bytes up to the next boundary
    // go through memory, so that the system's copies start at one in both.
    int64_t lead = 0;
    if (systemCopies_ && (from - written_) % kAlignBytes == 0)
        lead = std::min(count, AlignUp(written_) - written_);
    if (!CopyThroughMemory(from, lead, {})) return false;
    for (int64_t done = lead; done < count;) {
        const int64_t piece = std::min(count - done, kWriteBackBytes);
        int64_t copied = 0;
        if (systemCopies_) {
            FileStatus result =
                files_.CopyRange(save_, from + done, work_, written_, piece, copied);
            Advance(copied);
            if (result == FileError::kNotSupported)
                systemCopies_ = false;
            else if (!result.Ok())
                return Failed(std::move(result));
        }
        // What the system did not copy goes through memory, which fails where the
        // save ends too soon.
        if (!CopyThroughMemory(from + done + copied, piece - copied, {})) return false;
        done += piece;
    }
    return true;
}

bool SaveCopier::CopyThroughMemory(int64_t from, int64_t count,
                                   std::span<const ValuePatch> patches) {
    if (count > int64_t(block_.size())) block_.resize(size_t(std::min(count, kBlockBytes)));
    for (int64_t done = 0; done < count;) {
        const size_t want = size_t(std::min(count - done, int64_t(block_.size())));
        size_t got = 0;
        if (FileStatus read = files_.ReadAt(save_, from + done, block_.data(), want, got);
            !read.Ok())
            return Failed(std::move(read));
        if (got != want) return false;  // the save ends too soon
        ApplyPatches(block_.data(), written_, want, patches);
        if (FileStatus wrote = files_.WriteAt(work_, written_, block_.data(), want); !wrote.Ok())
            return Failed(std::move(wrote));
        Advance(int64_t(want));
        done += int64_t(want);
    }
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
