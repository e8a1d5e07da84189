#include "codepage/Windows1252.h"

#include <algorithm>
#include <array>

namespace quellhart {
namespace {

// 0x80 to 0x9F; the rest of the code page is Latin-1.
constexpr std::array<char32_t, 32> kHighControls = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

void AppendUtf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out += char(c);
    } else if (c < 0x800) {
        out += char(0xC0 | (c >> 6));
        out += char(0x80 | (c & 0x3F));
    } else {
        out += char(0xE0 | (c >> 12));
        out += char(0x80 | ((c >> 6) & 0x3F));
        out += char(0x80 | (c & 0x3F));
    }
}

// Decodes one UTF-8 sequence at `at`, advancing it; U+FFFD for a malformed one.
char32_t NextCodePoint(std::string_view s, size_t& at) {
    const auto lead = static_cast<unsigned char>(s[at++]);
    if (lead < 0x80) return lead;
    int extra = lead >= 0xF0 && lead < 0xF5 ? 3 : lead >= 0xE0 ? 2 : lead >= 0xC2 ? 1 : -1;
    if (lead >= 0xF5 || extra < 0) return 0xFFFD;
    char32_t c = lead & (0x3F >> extra);
    for (; extra > 0; --extra) {
        if (at >= s.size() || (static_cast<unsigned char>(s[at]) & 0xC0) != 0x80) return 0xFFFD;
        c = c << 6 | (static_cast<unsigned char>(s[at++]) & 0x3F);
    }
    return c;
}

}  // namespace

char32_t Windows1252ToUnicode(unsigned char b) {
    return b >= 0x80 && b < 0xA0 ? kHighControls[b - 0x80] : char32_t(b);
}

char Windows1252FromUnicode(char32_t c) {
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) return char(c);
    const auto it = std::find(kHighControls.begin(), kHighControls.end(), c);
    return it == kHighControls.end() ? '?' : char(0x80 + (it - kHighControls.begin()));
}

std::string DecodeWindows1252(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size());
    for (char b : bytes) AppendUtf8(out, Windows1252ToUnicode(static_cast<unsigned char>(b)));
    return out;
}

std::string EncodeWindows1252(std::string_view utf8) {
    std::string out;
    for (size_t at = 0; at < utf8.size();) out += Windows1252FromUnicode(NextCodePoint(utf8, at));
    return out;
}

}  // namespace quellhart
