// How the editor turns stored values into text and typed text into values. The
// editor window and the command-line tool share these, so both show the same digits
// and store the same bits. None of them follows the user's locale: the full stop is
// always the decimal separator.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace quellhart {

// The leading decimal number of `text`, as the C runtime's atof reads it: white space
// skipped, then sign, digits, an optional full stop with fraction digits and an
// optional exponent; the rest is ignored, and a text with no number gives 0. The
// result is the nearest 32-bit float, an infinity of its sign when too large.
float GlobValueFromText(std::string_view text);

// "%f": fixed notation with six digits after the point ("inf", "-inf", "nan").
std::string FormatFixed(double value);

// "0x%X": upper-case hexadecimal without leading zeros.
std::string FormatHexOffset(int32_t offset);

// Each byte as "%.2X " (two upper-case digits and a space).
std::string HexDump(std::span<const uint8_t> bytes);
inline std::string HexDump(std::string_view bytes) {
    return HexDump({reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size()});
}

}  // namespace quellhart
