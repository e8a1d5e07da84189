// Writes a file as a game that opens its save for itself alone does: on Windows an
// open that shares nothing, which fails while any other handle is open on the file.
#pragma once

#include <string>

namespace quellhart::test {

// Replaces the bytes of the existing file `path` (UTF-8) through such an open; false
// when the open or the write failed.
bool WriteExclusively(const std::string& path, const std::string& bytes);

}  // namespace quellhart::test
