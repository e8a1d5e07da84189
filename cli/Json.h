// The JSON the command-line tool prints: its version, and the texts and floats in it.
#pragma once

#include "json/JsonText.h"

namespace quellhart::cli {

// The version of the JSON that show, diff and history print (docs/json.md): a field
// is added without changing it, and a field changed or removed changes it.
inline constexpr int kJsonFormat = 1;

}  // namespace quellhart::cli
