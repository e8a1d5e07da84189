// Save texts are single-byte strings in the Windows code page of the system the game
// was played on: a Russian save holds Windows-1251, a Polish one Windows-1250. The
// editor's controls and the command-line tool show them as Unicode and give them
// back as bytes through one table per code page, so that every byte survives the
// round trip: a byte a code page leaves undefined stands for a character of its own
// (Windows-1252's 0x81 for U+0081), which gives the byte back.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quellhart {

class CodePage {
public:
    // The single-byte Windows code page with this number (874, 1250 to 1258), or none.
    static const CodePage* Find(int number);
    // Windows-1252, the code page of Western Europe and the Americas.
    static const CodePage& Western();
    // The numbers of every code page known here, in order.
    static std::vector<int> Numbers();

    int Number() const { return number_; }
    // The code point byte `b` stands for.
    char32_t ToUnicode(unsigned char b) const;
    // The byte for `codePoint`, or none when the code page cannot hold it.
    std::optional<unsigned char> FromUnicode(char32_t codePoint) const;

    // Bytes of this code page to UTF-8.
    std::string Decode(std::string_view bytes) const;
    // UTF-8 to bytes of this code page; a character the code page cannot hold, or a
    // byte that is not valid UTF-8, becomes '?'.
    std::string Encode(std::string_view utf8) const;
    // Whether every character of the UTF-8 text has a byte here.
    bool CanHold(std::string_view utf8) const;

    CodePage(int number, const char32_t* upperHalf) : number_(number), upperHalf_(upperHalf) {}

private:
    int number_;
    const char32_t* upperHalf_;  // bytes 0x80 to 0xFF
};

// The code page the program reads and writes save texts in: chosen once at start
// (the system's, or the user's), Windows-1252 until then.
const CodePage& SaveTextCodePage();
// `description`: the choice said in words, for Help ("Windows-1251 (from LANG=ru_RU)").
void UseSaveTextCodePage(const CodePage& codePage, std::string description = {});
const std::string& SaveTextCodePageDescription();

// UTF-8 helpers shared by the code pages and their users.
void AppendUtf8(std::string& out, char32_t codePoint);
// Decodes one UTF-8 sequence at `at`, advancing it; U+FFFD for a malformed one.
char32_t NextCodePoint(std::string_view utf8, size_t& at);

// The length of the well-formed UTF-8 sequence at the start of `text` (no overlong
// forms, no surrogates, nothing above U+10FFFF), or 0.
size_t Utf8SequenceLength(std::string_view text);
// Whether all of `text` is well-formed UTF-8.
bool IsValidUtf8(std::string_view text);

}  // namespace quellhart
