#include "cli/SaveReport.h"

#include <algorithm>
#include <cstdio>
#include <sstream>

#include "cli/Json.h"
#include "codepage/CodePage.h"
#include "savefile/ValueText.h"

namespace quellhart::cli {
namespace {

std::string Bytes(const std::vector<char>& data) { return {data.begin(), data.end()}; }

std::string ValueBytes(const GlobEntry& glob) {
    const auto bytes = glob.ValueBytes();
    const size_t shown = size_t(std::clamp(glob.valueLen, 0, kGlobValueBytes));
    return {reinterpret_cast<const char*>(bytes.data()), shown};
}

// Characters, not the bytes of their UTF-8 form.
size_t DisplayWidth(std::string_view utf8) {
    size_t chars = 0;
    for (char c : utf8) chars += (static_cast<unsigned char>(c) & 0xC0) != 0x80;
    return chars;
}

std::string PadRight(std::string text, size_t width) {
    const size_t chars = DisplayWidth(text);
    if (chars < width) text.append(width - chars, ' ');
    return text;
}

}  // namespace

std::string ShownText(std::string_view stored) {
    return SaveTextCodePage().Decode(stored.substr(0, stored.find('\0')));
}

std::string ForTerminalLines(std::string_view utf8) {
    std::string out;
    for (size_t start = 0; start <= utf8.size();) {
        const size_t end = std::min(utf8.find('\n', start), utf8.size());
        out += ForTerminal(utf8.substr(start, end - start));
        if (end < utf8.size()) out += '\n';
        start = end + 1;
    }
    return out;
}

std::string ForTerminal(std::string_view utf8) {
    std::string out;
    out.reserve(utf8.size());
    for (size_t i = 0; i < utf8.size(); ++i) {
        const auto byte = static_cast<unsigned char>(utf8[i]);
        const auto next = i + 1 < utf8.size() ? static_cast<unsigned char>(utf8[i + 1]) : 0;
        char escaped[8];
        if (byte < 0x20 || byte == 0x7F) {
            std::snprintf(escaped, sizeof escaped, "\\x%02X", unsigned(byte));
            out += escaped;
        } else if (byte == 0xC2 && next >= 0x80 && next <= 0x9F) {
            std::snprintf(escaped, sizeof escaped, "\\u%04X", unsigned(next));
            out += escaped;
            ++i;
        } else {
            out += char(byte);
        }
    }
    return out;
}

std::string JsonHex(std::string_view bytes) {
    std::string hex = HexDump(bytes);
    if (!hex.empty()) hex.pop_back();
    return hex;
}

std::string ShowAsText(const CSaveGame& save, const std::string& file) {
    std::ostringstream out;
    out << "File:          " << ForTerminal(file) << "\n";
    out << "Player record: " << FormatHexOffset(save.PlayerRawAddress()) << "\n";
    for (const PlayerField& f : kPlayerFields)
        out << PadRight(std::string(f.label) + ":", 15)
            << ForTerminal(ShownText(save.Player()[f.field].Text())) << "\n";
    out << "Chargen class: " << (save.HasChargenClass() ? "defined" : "not defined") << "\n";
    out << "Globals:       " << save.GlobCount() << "\n";

    size_t offsetWidth = 6, nameWidth = 4;
    for (int i = 0; i < save.GlobCount(); ++i) {
        offsetWidth = std::max(offsetWidth, FormatHexOffset(save.Glob(i).rawAddress).size());
        nameWidth =
            std::max(nameWidth, DisplayWidth(ForTerminal(ShownText(save.Glob(i).NameText()))));
    }
    if (save.GlobCount() > 0)
        out << "\n  " << PadRight("Offset", offsetWidth) << "  " << PadRight("Name", nameWidth)
            << "  Value\n";
    for (int i = 0; i < save.GlobCount(); ++i) {
        const GlobEntry& glob = save.Glob(i);
        out << "  " << PadRight(FormatHexOffset(glob.rawAddress), offsetWidth) << "  "
            << PadRight(ForTerminal(ShownText(glob.NameText())), nameWidth) << "  "
            << FormatFixed(glob.value) << "\n";
    }
    return out.str();
}

std::string ShowAsJson(const CSaveGame& save, const std::string& file) {
    std::ostringstream out;
    out << "{\"format\": " << kJsonFormat << ", \"file\": " << JsonString(file)
        << ", \"codePage\": " << SaveTextCodePage().Number()
        << ", \"player\": {\"offset\": " << save.PlayerRawAddress();
    for (const PlayerField& f : kPlayerFields)
        out << ", \"" << f.jsonKey
            << "\": " << JsonString(ShownText(save.Player()[f.field].Text()));
    out << "}, \"chargenClass\": " << (save.HasChargenClass() ? "true" : "false")
        << ", \"globals\": [";
    for (int i = 0; i < save.GlobCount(); ++i) {
        const GlobEntry& g = save.Glob(i);
        const std::string_view unk1(reinterpret_cast<const char*>(g.unk1.data()), g.unk1.size());
        out << (i ? ", " : "") << "{\"offset\": " << g.rawAddress
            << ", \"name\": " << JsonString(ShownText(g.NameText()))
            << ", \"nameLen\": " << g.NameLen() << ", \"header\": " << JsonString(JsonHex(unk1))
            << ", \"fnam\": " << JsonString(JsonHex(Bytes(g.fnam)))
            << ", \"fnamLen\": " << g.fnamLen() << ", \"valueLen\": " << g.valueLen
            << ", \"valueBytes\": " << JsonString(JsonHex(ValueBytes(g)))
            << ", \"value\": " << JsonFloat(g.value) << "}";
    }
    out << "]}\n";
    return out.str();
}

std::string DiffAsText(const SaveDiff& diff) {
    std::string text;
    for (const std::string& line :
         DiffLines(diff, [](std::string_view shown) { return ForTerminal(shown); }))
        text += line + "\n";
    return text;
}

}  // namespace quellhart::cli
