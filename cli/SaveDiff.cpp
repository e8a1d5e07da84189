#include "cli/SaveDiff.h"

#include <map>
#include <sstream>

#include "cli/SaveReport.h"
#include "savefile/ValueText.h"

namespace quellhart::cli {
namespace {

using GlobsByName = std::map<std::string, std::vector<const GlobEntry*>>;

GlobsByName GroupByName(const CSaveGame& save) {
    GlobsByName byName;
    for (int i = 0; i < save.GlobCount(); ++i)
        byName[std::string(save.Glob(i).NameText())].push_back(&save.Glob(i));
    return byName;
}

// The globals of `from` that `other` has no match for: the n-th of a name is matched
// with the n-th of the same name.
std::vector<std::string> Unmatched(const GlobsByName& from, const GlobsByName& other) {
    std::vector<std::string> names;
    for (const auto& [name, globs] : from) {
        const auto match = other.find(name);
        const size_t matched = match == other.end() ? 0 : match->second.size();
        for (size_t i = matched; i < globs.size(); ++i) names.push_back(ShownText(name));
    }
    return names;
}

void CompareGlobs(const CSaveGame& oldSave, const CSaveGame& newSave, SaveDiff& diff) {
    const GlobsByName olds = GroupByName(oldSave), news = GroupByName(newSave);
    for (const auto& [name, oldGlobs] : olds) {
        const auto match = news.find(name);
        if (match == news.end()) continue;
        for (size_t i = 0; i < std::min(oldGlobs.size(), match->second.size()); ++i) {
            const GlobEntry& a = *oldGlobs[i];
            const GlobEntry& b = *match->second[i];
            if (a.ValueBytes() != b.ValueBytes() || a.valueLen != b.valueLen)
                diff.changed.push_back({ShownText(name), a.value, b.value});
        }
    }
    diff.onlyInOld = Unmatched(olds, news);
    diff.onlyInNew = Unmatched(news, olds);
}

}  // namespace

SaveDiff Compare(const CSaveGame& oldSave, const CSaveGame& newSave) {
    SaveDiff diff;
    for (const PlayerField& f : kPlayerFields) {
        std::string before = ShownText(oldSave.Player()[f.field].Text());
        std::string after = ShownText(newSave.Player()[f.field].Text());
        if (before != after) diff.texts.push_back({f.jsonKey, before, after});
    }
    if (oldSave.HasChargenClass() != newSave.HasChargenClass())
        diff.chargenClass = {oldSave.HasChargenClass(), newSave.HasChargenClass()};
    CompareGlobs(oldSave, newSave, diff);
    return diff;
}

std::string AsText(const SaveDiff& diff) {
    std::ostringstream out;
    for (const TextChange& t : diff.texts)
        out << t.key << ": \"" << ForTerminal(t.before) << "\" -> \"" << ForTerminal(t.after)
            << "\"\n";
    if (diff.chargenClass)
        out << "chargen class: " << (diff.chargenClass->first ? "defined" : "not defined") << " -> "
            << (diff.chargenClass->second ? "defined" : "not defined") << "\n";
    for (const GlobChange& g : diff.changed)
        out << "global " << ForTerminal(g.name) << ": " << FormatFixed(g.before) << " -> "
            << FormatFixed(g.after) << "\n";
    for (const std::string& name : diff.onlyInOld)
        out << "only in old: global " << ForTerminal(name) << "\n";
    for (const std::string& name : diff.onlyInNew)
        out << "only in new: global " << ForTerminal(name) << "\n";
    return out.str();
}

}  // namespace quellhart::cli
