// What `show` prints about a loaded save, as an aligned table or as JSON.
#pragma once

#include <string>

#include "SaveGame.h"

namespace quellhart::cli {

// A stored text as UTF-8: the bytes up to the first zero, decoded from Windows-1252.
std::string ShownText(std::string_view stored);

// "%.2X " per byte without the final space.
std::string JsonHex(std::string_view bytes);

std::string ShowAsText(const CSaveGame& save, const std::string& file);
std::string ShowAsJson(const CSaveGame& save, const std::string& file);

}  // namespace quellhart::cli
