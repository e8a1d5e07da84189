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

}  // namespace

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
    std::string out;
    out.reserve(bytes.size());
    for (char b : bytes) AppendUtf8(out, ToUnicode(static_cast<unsigned char>(b)));
    return out;
}

std::string CodePage::Encode(std::string_view utf8) const {
    std::string out;
    for (size_t at = 0; at < utf8.size();) {
        const char32_t c = NextCodePoint(utf8, at);
        const std::optional<unsigned char> byte = c == kReplacement ? std::nullopt : FromUnicode(c);
        out += byte ? char(*byte) : '?';
    }
    return out;
}

bool CodePage::CanHold(std::string_view utf8) const {
    for (size_t at = 0; at < utf8.size();) {
        const char32_t c = NextCodePoint(utf8, at);
        if (c == kReplacement || !FromUnicode(c)) return false;
    }
    return true;
}

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

char32_t NextCodePoint(std::string_view s, size_t& at) {
    const auto lead = static_cast<unsigned char>(s[at++]);
    if (lead < 0x80) return lead;
    int extra = lead >= 0xF0 && lead < 0xF5 ? 3 : lead >= 0xE0 ? 2 : lead >= 0xC2 ? 1 : -1;
    if (lead >= 0xF5 || extra < 0) return kReplacement;
    char32_t c = lead & (0x3F >> extra);
    for (; extra > 0; --extra) {
        if (at >= s.size() || (static_cast<unsigned char>(s[at]) & 0xC0) != 0x80)
            return kReplacement;
        c = c << 6 | (static_cast<unsigned char>(s[at++]) & 0x3F);
    }
    return c;
}

}  // namespace quellhart
