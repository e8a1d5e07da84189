// Limits of the editor's text fields, shared with the command-line tool so that both
// write the same bytes for the same input.
#pragma once

#include <cstddef>

namespace quellhart::limits {

// The editor reads a field's text into a 50-byte buffer: at most 49 bytes of
// Windows-1252 text and the terminating zero.
inline constexpr std::size_t kTextBufferBytes = 50;
inline constexpr std::size_t kPlayerTextBytes = kTextBufferBytes - 1;

}  // namespace quellhart::limits
