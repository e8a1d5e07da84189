// A fingerprint of a whole file's bytes: a fast non-cryptographic hash (XXH3, 64 bits),
// enough to tell whether a save's bytes are still those that were loaded when its
// times cannot (a change time that moved for an attribute, or for a rewrite that put
// the modification time back).
#pragma once

#include <cstdint>

#include "savefile/FileSystem.h"

namespace quellhart {

// The fingerprint of the first `size` bytes of `file`, read in order through `files`;
// a file that ends before `size` fails.
FileStatus FingerprintOf(FileSystem& files, FileHandle file, int64_t size, uint64_t& fingerprint);

}  // namespace quellhart
