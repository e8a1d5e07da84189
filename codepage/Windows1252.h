// Save texts are Windows-1252 bytes. The editor's controls and the command-line tool
// show them as Unicode and give them back as bytes through this one table, so that
// every byte survives the round trip: the five bytes the code page leaves undefined
// (0x81, 0x8D, 0x8F, 0x90, 0x9D) stand for U+0081, U+008D, U+008F, U+0090, U+009D.
#pragma once

#include <string>
#include <string_view>

namespace quellhart {

// The code point byte `b` stands for.
char32_t Windows1252ToUnicode(unsigned char b);

// The byte for `codePoint`, or '?' when the code page cannot hold it.
char Windows1252FromUnicode(char32_t codePoint);

// Windows-1252 bytes to UTF-8.
std::string DecodeWindows1252(std::string_view bytes);

// UTF-8 to Windows-1252 bytes; a character the code page cannot hold, or a byte that
// is not valid UTF-8, becomes '?'.
std::string EncodeWindows1252(std::string_view utf8);

}  // namespace quellhart
