// A fingerprint of a whole file's bytes: a fast non-cryptographic hash (XXH3, 64 bits),
// enough to tell whether a save's bytes are still those that were loaded when its
// times cannot (a change time that moved for an attribute, or for a rewrite that put
// the modification time back).
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

#include "savefile/FileSystem.h"

namespace quellhart {

// The fingerprint of bytes given in order, in pieces of any size.
class Fingerprinting {
public:
    Fingerprinting();
    ~Fingerprinting();
    Fingerprinting(const Fingerprinting&) = delete;
    Fingerprinting& operator=(const Fingerprinting&) = delete;

    void Add(const void* bytes, size_t count);
    // Of everything added so far.
    uint64_t Value() const;

private:
    struct State;
    std::unique_ptr<State> state_;
};

// The fingerprint of the first `size` bytes of `file`, read in order through `files`;
// a file that ends before `size` fails.
FileStatus FingerprintOf(FileSystem& files, FileHandle file, int64_t size, uint64_t& fingerprint);

}  // namespace quellhart
