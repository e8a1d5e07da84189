// A fingerprint of a whole file's bytes: a fast non-cryptographic hash (XXH3, 64 bits),
// enough to tell whether a save's bytes are still those that were loaded when its
// times cannot (a file system that keeps them to the second and has no change time,
// a rewrite that put the modification time back, a change time moved by an attribute).
#pragma once

#include <cstddef>
#include <cstdint>

#include "savefile/FileSystem.h"

namespace quellhart {

// The fingerprint of bytes given in order, piece by piece.
class Fingerprint {
public:
    Fingerprint();
    ~Fingerprint();
    Fingerprint(const Fingerprint&) = delete;
    Fingerprint& operator=(const Fingerprint&) = delete;

    void Add(const void* bytes, size_t count);
    uint64_t Value() const;

private:
    void* state_;  // XXH3's, made by the kernel chosen for this processor
};

// The fingerprint of the first `size` bytes of `file`, read in order through `files`;
// a file that ends before `size` fails.
FileStatus FingerprintOf(FileSystem& files, FileHandle file, int64_t size, uint64_t& fingerprint);

}  // namespace quellhart
