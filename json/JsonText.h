// The little JSON the command-line tool and the browser edition write: UTF-8 texts as
// string literals, and floats as numbers, or as the three words a float can be that
// JSON has no number for.
#pragma once

#include <string>
#include <string_view>

namespace quellhart {

// A JSON string literal for UTF-8 text.
std::string JsonString(std::string_view utf8);

// The float as a number with the shortest digits that give it back, or "inf",
// "-inf", "nan" as strings.
std::string JsonFloat(float value);

}  // namespace quellhart
