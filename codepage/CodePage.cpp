#include "codepage/CodePage.h"

#include <algorithm>

#include "codepage/CodePageTables.h"

namespace quellhart {
namespace {

const std::vector<CodePage>& AllCodePages() {
    static const std::vector<CodePage> pages = [] {
        std::vector<CodePage> all;
        for (const codepages::CodePageTable& table : codepages::Tables())
            all.emplace_back(table.number, table.upperHalf.data());
        return all;
    }();
    return pages;
}

const CodePage* gSaveTextCodePage = nullptr;
std::string gSaveTextCodePageDescription = "Windows-1252";

// U+FFFD: what a malformed UTF-8 sequence reads as; no code page holds it.
constexpr char32_t kReplacement = 0xFFFD;

// What `base` and the combining `mark` compose into, where Unicode composes them.
std::optional<char32_t> Composed(char32_t base, char32_t mark) {
    const auto& pairs = codepages::Compositions();
    const auto found =
        std::lower_bound(pairs.begin(), pairs.end(), std::pair{base, mark},
                         [](const codepages::Composition& p, std::pair<char32_t, char32_t> key) {
                             return std::pair{p.base, p.mark} < key;
                         });
    if (found == pairs.end() || found->base != base || found->mark != mark) return std::nullopt;
    return found->composed;
}

// Adds `c` to the composed text: a mark that composes with the letter before it
// becomes part of it. Marks in Unicode's canonical order compose as NFC composes them.
void AppendComposed(std::u32string& text, char32_t c) {
    if (!text.empty())
        if (const std::optional<char32_t> composed = Composed(text.back(), c)) {
            text.back() = *composed;
            return;
        }
    text += c;
}

std::u32string ComposedText(std::string_view utf8) {
    std::u32string text;
    for (size_t at = 0; at < utf8.size();) AppendComposed(text, NextCodePoint(utf8, at));
    return text;
}

}  // namespace

CodePage::CodePage(int number, const char32_t* upperHalf)
    : number_(number), upperHalf_(upperHalf), marked_(codepages::MarkedLetters(number)) {}

const CodePage* CodePage::Find(int number) {
    for (const CodePage& page : AllCodePages())
        if (page.Number() == number) return &page;
    return nullptr;
}

const CodePage& CodePage::Western() { return *Find(1252); }

std::vector<int> CodePage::Numbers() {
    std::vector<int> numbers;
    for (const CodePage& page : AllCodePages()) numbers.push_back(page.Number());
    return numbers;
}

char32_t CodePage::ToUnicode(unsigned char b) const {
    return b < 0x80 ? char32_t(b) : upperHalf_[b - 0x80];
}

std::optional<unsigned char> CodePage::FromUnicode(char32_t c) const {
    if (c < 0x80) return static_cast<unsigned char>(c);
    const char32_t* end = upperHalf_ + 128;
    const char32_t* found = std::find(upperHalf_, end, c);
    if (found == end) return std::nullopt;
    return static_cast<unsigned char>(0x80 + (found - upperHalf_));
}

std::string CodePage::Decode(std::string_view bytes) const {
    std::u32string text;
    text.reserve(bytes.size());
    for (char b : bytes) AppendComposed(text, ToUnicode(static_cast<unsigned char>(b)));
    std::string out;
    out.reserve(bytes.size());
    for (char32_t c : text) AppendUtf8(out, c);
    return out;
}

bool CodePage::AppendBytes(std::string& out, char32_t c) const {
    if (c == kReplacement) return false;
    if (const std::optional<unsigned char> byte = FromUnicode(c)) {
        out += char(*byte);
        return true;
    }
    const auto found = std::lower_bound(
        marked_.begin(), marked_.end(), c,
        [](const codepages::MarkedLetter& m, char32_t key) { return m.letter < key; });
    if (found == marked_.end() || found->letter != c) return false;
    out += char(*FromUnicode(found->base));
    out += char(*FromUnicode(found->mark));
    return true;
}

std::string CodePage::Encode(std::string_view utf8) const {
    std::string out;
    for (char32_t c : ComposedText(utf8))
        if (!AppendBytes(out, c)) out += '?';
    return out;
}

std::optional<std::string> CodePage::FirstUnstorable(std::string_view utf8) const {
    std::string bytes;
    for (char32_t c : ComposedText(utf8)) {
        if (AppendBytes(bytes, c)) continue;
        std::string character;
        AppendUtf8(character, c);
        return character;
    }
    return std::nullopt;
}

bool CodePage::CanHold(std::string_view utf8) const { return !FirstUnstorable(utf8); }

const CodePage& SaveTextCodePage() {
    return gSaveTextCodePage ? *gSaveTextCodePage : CodePage::Western();
}

void UseSaveTextCodePage(const CodePage& codePage, std::string description) {
    gSaveTextCodePage = &codePage;
    gSaveTextCodePageDescription = description.empty()
                                       ? "Windows-" + std::to_string(codePage.Number())
                                       : std::move(description);
}

const std::string& SaveTextCodePageDescription() { return gSaveTextCodePageDescription; }

void AppendUtf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out += char(c);
    } else if (c < 0x800) {
        out += char(0xC0 | (c >> 6));
        out += char(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += char(0xE0 | (c >> 12));
        out += char(0x80 | ((c >> 6) & 0x3F));
        out += char(0x80 | (c & 0x3F));
    } else {
        out += char(0xF0 | (c >> 18));
        out += char(0x80 | ((c >> 12) & 0x3F));
        out += char(0x80 | ((c >> 6) & 0x3F));
        out += char(0x80 | (c & 0x3F));
    }
}

// The length of the well-formed UTF-8 sequence at the start of `text` (no overlong
// forms, no surrogates, nothing above U+10FFFF), or 0.
size_t Utf8SequenceLength(std::string_view text) {
    const auto byte = [&](size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned char lead = byte(0);
    if (lead < 0x80) return 1;
    size_t length = 0;
    unsigned char low = 0x80, high = 0xBF;  // the allowed range of the second byte
    if (lead >= 0xC2 && lead <= 0xDF)
        length = 2;
    else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        if (lead == 0xE0) low = 0xA0;
        if (lead == 0xED) high = 0x9F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        if (lead == 0xF0) low = 0x90;
        if (lead == 0xF4) high = 0x8F;
    } else
        return 0;
    if (text.size() < length || byte(1) < low || byte(1) > high) return 0;
    for (size_t i = 2; i < length; ++i)
        if ((byte(i) & 0xC0) != 0x80) return 0;
    return length;
}

bool IsValidUtf8(std::string_view text) {
    for (size_t at = 0; at < text.size();) {
        const size_t length = Utf8SequenceLength(text.substr(at));
        if (length == 0) return false;
        at += length;
    }
    return true;
}

// An ill-formed sequence (an overlong form, a surrogate, a stray byte) is one
// replacement character for its first byte: never a character it might be read as.
char32_t NextCodePoint(std::string_view s, size_t& at) {
    const size_t length = Utf8SequenceLength(s.substr(at));
    const auto lead = static_cast<unsigned char>(s[at]);
    if (length == 0) {
        ++at;
        return kReplacement;
    }
    at += length;
    if (length == 1) return lead;
    char32_t c = lead & (0x7F >> length);
    for (size_t i = 1; i < length; ++i)
        c = c << 6 | (static_cast<unsigned char>(s[at - length + i]) & 0x3F);
    return c;
}

}  // namespace quellhart
