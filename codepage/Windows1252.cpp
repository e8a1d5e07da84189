#include "codepage/Windows1252.h"

#include "codepage/CodePage.h"

namespace quellhart {

char32_t Windows1252ToUnicode(unsigned char b) { return CodePage::Western().ToUnicode(b); }

char Windows1252FromUnicode(char32_t c) {
    const std::optional<unsigned char> byte = CodePage::Western().FromUnicode(c);
    return byte ? char(*byte) : '?';
}

std::string DecodeWindows1252(std::string_view bytes) { return CodePage::Western().Decode(bytes); }

std::string EncodeWindows1252(std::string_view utf8) { return CodePage::Western().Encode(utf8); }

}  // namespace quellhart
