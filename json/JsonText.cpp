#include "json/JsonText.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "codepage/CodePage.h"

namespace quellhart {

std::string JsonString(std::string_view utf8) {
    std::string out = "\"";
    for (size_t at = 0; at < utf8.size();) {
        // A path may hold any bytes; the output stays valid UTF-8 whatever they are.
        const size_t length = Utf8SequenceLength(utf8.substr(at));
        if (length == 0) {
            out += "\\uFFFD";
            ++at;
            continue;
        }
        if (length > 1) {
            out.append(utf8.substr(at, length));
            at += length;
            continue;
        }
        const char c = utf8[at++];
        switch (c) {
            case '"':
                out += "\\\"";
                break;
            case '\\':
                out += "\\\\";
                break;
            case '\n':
                out += "\\n";
                break;
            case '\t':
                out += "\\t";
                break;
            case '\r':
                out += "\\r";
                break;
            default:
                if (static_cast<unsigned char>(c) < 0x20) {
                    char escaped[8];
                    std::snprintf(escaped, sizeof escaped, "\\u%04X", unsigned(c));
                    out += escaped;
                } else {
                    out += c;
                }
        }
    }
    return out + "\"";
}

std::string JsonFloat(float value) {
    if (std::isnan(value)) return "\"nan\"";
    if (std::isinf(value)) return value > 0 ? "\"inf\"" : "\"-inf\"";
    char text[32];
#if defined(__cpp_lib_to_chars)
    const auto result = std::to_chars(text, text + sizeof text, value);
    return std::string(text, result.ptr);
#else
    // Without a floating point to_chars: the fewest significant digits that read back
    // as the same float (nine always do).
    int length = 0;
    for (int digits = 1; digits <= 9; ++digits) {
        length = std::snprintf(text, sizeof text, "%.*g", digits, double(value));
        if (std::strtof(text, nullptr) == value) break;
    }
    return std::string(text, size_t(length));
#endif
}

}  // namespace quellhart
