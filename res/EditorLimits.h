// Limits of the editor's text fields, shared with the command-line tool so that both
// write the same bytes for the same input.
#pragma once

#include <cstddef>

namespace quellhart::limits {

// A player text is read from its field with a 50-byte buffer: at most 49 bytes of
// Windows-1252 text and the terminating zero.
inline constexpr std::size_t kPlayerTextBytes = 49;

}  // namespace quellhart::limits
