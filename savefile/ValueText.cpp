#include "savefile/ValueText.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <limits>
#include <system_error>

namespace quellhart {
namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// The nearest double to a plain decimal number (digits, point, exponent); an
// infinity or zero when out of range. Where the standard library has no floating
// point from_chars (the WebAssembly build's), the C library's strtod reads it: that
// C library ignores the locale, and the program never sets one there.
double NearestDouble(const std::string& number, bool& outOfRange) {
#if defined(__cpp_lib_to_chars)
    double value = 0.0;
    const auto result = std::from_chars(number.data(), number.data() + number.size(), value);
    outOfRange = result.ec == std::errc::result_out_of_range;
    return value;
#else
    errno = 0;
    const double value = std::strtod(number.c_str(), nullptr);
    outOfRange = errno == ERANGE && (value == 0.0 || std::isinf(value));
    return value;
#endif
}

}  // namespace

float GlobValueFromText(std::string_view text) {
    size_t at = 0;
    while (at < text.size() && std::isspace(static_cast<unsigned char>(text[at]))) ++at;
    const bool negative = at < text.size() && text[at] == '-';
    if (at < text.size() && (text[at] == '-' || text[at] == '+')) ++at;

    // Digits before and after the point, and the decimal exponent of the number's
    // first significant digit, to tell an overflow from an underflow.
    std::string number;
    int magnitude = 0;
    bool seenDigit = false, seenSignificant = false;
    for (; at < text.size() && IsDigit(text[at]); ++at, seenDigit = true) {
        seenSignificant |= text[at] != '0';
        if (seenSignificant) ++magnitude;
        number += text[at];
    }
    if (at < text.size() && text[at] == '.') {
        number += '.';
        for (++at; at < text.size() && IsDigit(text[at]); ++at, seenDigit = true) {
            if (!seenSignificant && text[at] == '0') --magnitude;
            seenSignificant |= text[at] != '0';
            number += text[at];
        }
    }
    if (!seenDigit) return 0.0f;
    if (at < text.size() && (text[at] == 'e' || text[at] == 'E')) {
        size_t expAt = at + 1;
        if (expAt < text.size() && (text[expAt] == '-' || text[expAt] == '+')) ++expAt;
        if (expAt < text.size() && IsDigit(text[expAt])) {
            size_t end = expAt;
            while (end < text.size() && IsDigit(text[end])) ++end;
            number.append(text.substr(at, end - at));
            long exponent = 0;
            std::from_chars(text.data() + expAt, text.data() + end, exponent);
            if (text[expAt - 1] == '-') exponent = -exponent;
            magnitude += int(std::clamp<long>(exponent, -100000, 100000));
        }
    }

    bool outOfRange = false;
    double value = NearestDouble(number, outOfRange);
    if (outOfRange)
        value = seenSignificant && magnitude > 0 ? std::numeric_limits<double>::infinity() : 0.0;
    // Above the midpoint between the largest float and the next power of two, the
    // nearest float is the infinity; converting such a double directly is undefined.
    constexpr double kFloatOverflow = 0x1.ffffffp127;
    float magnitudeAsFloat = std::fabs(value) >= kFloatOverflow
                                 ? std::numeric_limits<float>::infinity()
                                 : static_cast<float>(std::fabs(value));
    return negative ? -magnitudeAsFloat : magnitudeAsFloat;
}

std::string FormatFixed(double value) {
    if (std::isnan(value)) return std::signbit(value) ? "-nan" : "nan";
    char text[400];
#if defined(__cpp_lib_to_chars)
    const auto result = std::to_chars(text, text + sizeof text, value, std::chars_format::fixed, 6);
    return std::string(text, result.ptr);
#else
    // The largest double has 309 digits before the point: it fits.
    return std::string(text, size_t(std::snprintf(text, sizeof text, "%.6f", value)));
#endif
}

std::string FormatHexOffset(int32_t offset) {
    char text[16] = "0x";
    const auto result = std::to_chars(text + 2, text + sizeof text, uint32_t(offset), 16);
    std::string hex(text, result.ptr);
    for (char& c : hex) c = char(std::toupper(static_cast<unsigned char>(c)));
    hex[1] = 'x';
    return hex;
}

std::string HexDump(std::span<const uint8_t> bytes) {
    static constexpr char kDigits[] = "0123456789ABCDEF";
    std::string text;
    text.reserve(bytes.size() * 3);
    for (uint8_t b : bytes) {
        text += kDigits[b >> 4];
        text += kDigits[b & 0xF];
        text += ' ';
    }
    return text;
}

}  // namespace quellhart
