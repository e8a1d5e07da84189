#include "savefile/SaveFingerprint.h"

#include <algorithm>
#include <new>
#include <vector>

#include "savefile/fingerprint/Xxh3Kernels.h"

namespace quellhart {
namespace {

struct Kernel {
    void* (*create)();
    void (*free)(void*);
    void (*update)(void*, const void*, size_t);
    uint64_t (*digest)(const void*);
};

// The widest XXH3 the processor runs: a save is hashed twice per commit (as it loads
// and as it is copied), and at 256 MiB the baseline (SSE2) costs 13 ms a pass where
// AVX2 costs 8 and AVX-512 3.
const Kernel& ChosenKernel() {
    using namespace fingerprint;
    static const Kernel kernel = [] {
#if QH_FINGERPRINT_WIDE_KERNELS
        __builtin_cpu_init();
        if (__builtin_cpu_supports("avx512f"))
            return Kernel{CreateAvx512, FreeAvx512, UpdateAvx512, DigestAvx512};
        if (__builtin_cpu_supports("avx2"))
            return Kernel{CreateAvx2, FreeAvx2, UpdateAvx2, DigestAvx2};
#endif
        return Kernel{CreateBaseline, FreeBaseline, UpdateBaseline, DigestBaseline};
    }();
    return kernel;
}

}  // namespace

Fingerprint::Fingerprint() : state_(ChosenKernel().create()) {
    if (!state_) throw std::bad_alloc();
}

Fingerprint::~Fingerprint() { ChosenKernel().free(state_); }

void Fingerprint::Add(const void* bytes, size_t count) {
    ChosenKernel().update(state_, bytes, count);
}

uint64_t Fingerprint::Value() const { return ChosenKernel().digest(state_); }

FileStatus FingerprintOf(FileSystem& files, FileHandle file, int64_t size, uint64_t& fingerprint) {
    constexpr int64_t kBlock = 1 << 20;
    Fingerprint hash;
    std::vector<char> block(size_t(std::min(size, kBlock)));
    for (int64_t at = 0; at < size;) {
        const size_t want = size_t(std::min(size - at, kBlock));
        size_t got = 0;
        if (FileStatus read = files.ReadAt(file, at, block.data(), want, got); !read.Ok())
            return read;
        if (got != want) return FileError::kFailed;  // the file was cut short meanwhile
        hash.Add(block.data(), got);
        at += int64_t(got);
    }
    fingerprint = hash.Value();
    return FileError::kNone;
}

}  // namespace quellhart
