// Save texts are single-byte strings in the Windows code page of the system the game
// was played on: a Russian save holds Windows-1251, a Polish one Windows-1250. The
// editor's controls and the command-line tool show them as Unicode and give them
// back as bytes through one table per code page, so that every byte survives the
// round trip: a byte a code page leaves undefined stands for a character of its own
// (Windows-1252's 0x81 for U+0081), which gives the byte back.
//
// A letter with marks is one text however it was typed: composed ("ễ", as keyboards
// give it), decomposed ("e", U+0302, U+0303) or in a code page's own mixed form. Texts
// are shown composed, as Unicode's NFC has it, and stored in the code page's form:
// the letter's own byte where it has one, else a letter and a combining mark
// (Windows-1258 holds Vietnamese as "ê" and the combining tilde).
#pragma once

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "codepage/CodePageTables.h"

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

    // Bytes of this code page to UTF-8, letters and their marks composed.
    std::string Decode(std::string_view bytes) const;
    // UTF-8 to bytes of this code page; a character the code page cannot hold, or a
    // byte that is not valid UTF-8, becomes '?'.
    std::string Encode(std::string_view utf8) const;
    // Whether every character of the UTF-8 text can be stored here.
    bool CanHold(std::string_view utf8) const;
    // The first character of the UTF-8 text that cannot be stored here (U+FFFD for
    // bytes that are not UTF-8), as UTF-8; none when all can.
    std::optional<std::string> FirstUnstorable(std::string_view utf8) const;

    CodePage(int number, const char32_t* upperHalf);

private:
    // The bytes for one composed character, appended; false when there are none.
    bool AppendBytes(std::string& out, char32_t codePoint) const;

    int number_;
    const char32_t* upperHalf_;  // bytes 0x80 to 0xFF
    std::span<const codepages::MarkedLetter>
        marked_;  // letters held as a base and a combining mark
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
