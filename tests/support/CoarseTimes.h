// The times a file system without fine ones gives (FAT, exFAT): the modification time
// to 2 s, and as the change time too, since it keeps none of its own. A rewrite that
// puts the modification time back cannot be told by them.
#pragma once

#include <cstdint>

#include "savefile/FileSystem.h"

namespace quellhart::test {

inline void CoarsenTimes(FileInfo& info) {
    constexpr std::int64_t kTick = 2'000'000'000;
    info.modifiedNs = info.modifiedNs / kTick * kTick;
    info.changedNs = info.modifiedNs;
}

}  // namespace quellhart::test
