#include "savefile/SaveFingerprint.h"

#include <algorithm>
#include <new>
#include <vector>

#define XXH_INLINE_ALL
#include <xxhash.h>

namespace quellhart {

struct Fingerprinting::State {
    State() : xxh(XXH3_createState()) {
        if (!xxh) throw std::bad_alloc();
        XXH3_64bits_reset(xxh);
    }
    ~State() { XXH3_freeState(xxh); }
    State(const State&) = delete;
    State& operator=(const State&) = delete;
    XXH3_state_t* xxh;
};

Fingerprinting::Fingerprinting() : state_(std::make_unique<State>()) {}
Fingerprinting::~Fingerprinting() = default;

void Fingerprinting::Add(const void* bytes, size_t count) {
    XXH3_64bits_update(state_->xxh, bytes, count);
}

uint64_t Fingerprinting::Value() const { return XXH3_64bits_digest(state_->xxh); }

FileStatus FingerprintOf(FileSystem& files, FileHandle file, int64_t size, uint64_t& fingerprint) {
    constexpr int64_t kBlock = 1 << 20;
    Fingerprinting whole;
    std::vector<char> block(size_t(std::min(size, kBlock)));
    for (int64_t at = 0; at < size;) {
        const size_t want = size_t(std::min(size - at, kBlock));
        size_t got = 0;
        if (FileStatus read = files.ReadAt(file, at, block.data(), want, got); !read.Ok())
            return read;
        if (got != want) return FileError::kFailed;  // the file was cut short meanwhile
        whole.Add(block.data(), got);
        at += int64_t(got);
    }
    fingerprint = whole.Value();
    return FileError::kNone;
}

}  // namespace quellhart
