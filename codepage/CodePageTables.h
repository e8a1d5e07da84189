// The code pages' tables, as data (codepage/CodePageTables.cpp, made by
// codepage/tools/make-tables.py).
#pragma once

#include <array>
#include <span>

namespace quellhart::codepages {

struct CodePageTable {
    int number;
    std::array<char32_t, 128> upperHalf;  // bytes 0x80 to 0xFF
};

const std::array<CodePageTable, 10>& Tables();

// A Latin letter and one combining mark that compose into one character, as Unicode's
// canonical composition (NFC) makes them; sorted by letter, then mark.
struct Composition {
    char32_t base, mark, composed;
};
const std::array<Composition, 532>& Compositions();

// A letter that code page `number` holds only as a letter of its own followed by a
// combining mark (Windows-1258: "ễ" as "ê" and the combining tilde); sorted by letter.
struct MarkedLetter {
    char32_t letter, base, mark;
};
std::span<const MarkedLetter> MarkedLetters(int number);

}  // namespace quellhart::codepages
