#include "savefile/SaveFingerprint.h"

#include <algorithm>
#include <memory>
#include <new>
#include <vector>

#define XXH_INLINE_ALL
#include <xxhash.h>

namespace quellhart {

FileStatus FingerprintOf(FileSystem& files, FileHandle file, int64_t size, uint64_t& fingerprint) {
    constexpr int64_t kBlock = 1 << 20;
    const std::unique_ptr<XXH3_state_t, decltype(&XXH3_freeState)> state(XXH3_createState(),
                                                                         &XXH3_freeState);
    if (!state) throw std::bad_alloc();
    XXH3_64bits_reset(state.get());
    std::vector<char> block(size_t(std::min(size, kBlock)));
    for (int64_t at = 0; at < size;) {
        const size_t want = size_t(std::min(size - at, kBlock));
        size_t got = 0;
        if (FileStatus read = files.ReadAt(file, at, block.data(), want, got); !read.Ok())
            return read;
        if (got != want) return FileError::kFailed;  // the file was cut short meanwhile
        XXH3_64bits_update(state.get(), block.data(), got);
        at += int64_t(got);
    }
    fingerprint = XXH3_64bits_digest(state.get());
    return FileError::kNone;
}

}  // namespace quellhart
