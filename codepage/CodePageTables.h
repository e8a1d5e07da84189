// The code pages' tables, as data (codepage/CodePageTables.cpp, made by
// codepage/tools/make-tables.py).
#pragma once

#include <array>

namespace quellhart::codepages {

struct CodePageTable {
    int number;
    std::array<char32_t, 128> upperHalf;  // bytes 0x80 to 0xFF
};

const std::array<CodePageTable, 10>& Tables();

}  // namespace quellhart::codepages
