// The little JSON the command-line tool prints: strings, numbers and the three
// words a float can be that JSON has no number for.
#pragma once

#include <string>
#include <string_view>

namespace quellhart::cli {

// The version of the JSON that show, diff and history print (docs/json.md): a field
// is added without changing it, and a field changed or removed changes it.
inline constexpr int kJsonFormat = 1;

// A JSON string literal for UTF-8 text.
std::string JsonString(std::string_view utf8);

// The float as a number with the shortest digits that give it back, or "inf",
// "-inf", "nan" as strings.
std::string JsonFloat(float value);

}  // namespace quellhart::cli
