#include "ui/platform/Prompts.h"

#include <sstream>

namespace quellhart::ui {
namespace {

std::unique_ptr<Prompts>& Installed() {
    static std::unique_ptr<Prompts> prompts = MakeSystemPrompts();
    return prompts;
}

}  // namespace

Prompts& CurrentPrompts() { return *Installed(); }

std::unique_ptr<Prompts> InstallPrompts(std::unique_ptr<Prompts> prompts) {
    if (!prompts) prompts = MakeSystemPrompts();
    std::swap(prompts, Installed());
    return prompts;
}

int AfxMessageBox(WindowHandle owner, const std::string& text, const std::string& caption,
                  unsigned type, const std::string& details) {
    return CurrentPrompts().MessageBox(owner, text, caption, type, details);
}

std::vector<std::pair<std::string, std::string>> FileFilterPairs(const std::string& filter) {
    std::vector<std::pair<std::string, std::string>> pairs;
    size_t from = 0;
    while (from < filter.size()) {
        const size_t bar = filter.find('|', from);
        if (bar == std::string::npos || bar == from) break;
        size_t next = filter.find('|', bar + 1);
        if (next == std::string::npos) next = filter.size();
        pairs.emplace_back(filter.substr(from, bar - from), filter.substr(bar + 1, next - bar - 1));
        from = next + 1;
    }
    return pairs;
}

std::string WithoutColumns(const std::string& text) {
    std::istringstream lines(text);
    std::string out, line;
    bool describing = false;  // the line before was a term's
    while (std::getline(lines, line)) {
        const size_t first = line.find_first_not_of(' ');
        const bool indented = first != std::string::npos && first > 0;
        const size_t gap = indented ? line.find("  ", first) : std::string::npos;
        const size_t description =
            gap == std::string::npos ? gap : line.find_first_not_of(' ', gap);
        if (description != std::string::npos) {
            out += line.substr(first, gap - first) + ": " + line.substr(description) + '\n';
            describing = true;
        } else if (describing && indented) {
            out.back() = ' ';  // the description's next line, under its column
            out += line.substr(first) + '\n';
        } else {
            out += line + '\n';
            describing = false;
        }
    }
    if (!text.empty() && text.back() != '\n' && !out.empty()) out.pop_back();
    return out;
}

std::string WithDefaultExtension(const std::string& path, const std::string& extension) {
    if (path.empty() || extension.empty()) return path;
    const size_t name = path.find_last_of("/\\");
    const size_t dot = path.rfind('.');
    const bool hasExtension = dot != std::string::npos &&
                              (name == std::string::npos || dot > name) && dot + 1 < path.size();
    return hasExtension ? path : path + "." + extension;
}

}  // namespace quellhart::ui
