// The times a file system without fine ones gives: the modification time to its tick
// (FAT's 2 s, exFAT's 10 ms), and as the change time too, since it keeps none of its
// own. A rewrite that puts the modification time back cannot be told by them.
#pragma once

#include <cstdint>

#include "savefile/FileSystem.h"

namespace quellhart::test {

inline constexpr std::int64_t kFatTimes = 2'000'000'000, kExFatTimes = 10'000'000;

inline void CoarsenTimes(FileInfo& info, std::int64_t tickNs) {
    info.modifiedNs = info.modifiedNs / tickNs * tickNs;
    info.changedNs = info.modifiedNs;
}

}  // namespace quellhart::test
