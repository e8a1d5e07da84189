#include "savefile/SaveDiff.h"

#include <algorithm>
#include <map>

#include "savefile/ValueText.h"

namespace quellhart {
namespace {

// The player texts compared, by the keys the reports give them.
constexpr std::pair<const char*, PlayerRecord::Field> kComparedTexts[] = {
    {"name", PlayerRecord::FNAM},
    {"race", PlayerRecord::RNAM},
    {"class", PlayerRecord::CNAM},
    {"head", PlayerRecord::BNAM},
    {"hair", PlayerRecord::KNAM}};

using GlobsByName = std::map<std::string, std::vector<const GlobEntry*>>;

GlobsByName GroupByName(const CSaveGame& save) {
    GlobsByName byName;
    for (int i = 0; i < save.GlobCount(); ++i)
        byName[std::string(save.Glob(i).NameText())].push_back(&save.Glob(i));
    return byName;
}

// The globals of `from` that `other` has no match for: the n-th of a name is matched
// with the n-th of the same name.
std::vector<std::string> Unmatched(const GlobsByName& from, const GlobsByName& other,
                                   const ShowText& shown) {
    std::vector<std::string> names;
    for (const auto& [name, globs] : from) {
        const auto match = other.find(name);
        const size_t matched = match == other.end() ? 0 : match->second.size();
        for (size_t i = matched; i < globs.size(); ++i) names.push_back(shown(name));
    }
    return names;
}

void CompareGlobs(const CSaveGame& oldSave, const CSaveGame& newSave, SaveDiff& diff,
                  const ShowText& shown) {
    const GlobsByName olds = GroupByName(oldSave), news = GroupByName(newSave);
    for (const auto& [name, oldGlobs] : olds) {
        const auto match = news.find(name);
        if (match == news.end()) continue;
        for (size_t i = 0; i < std::min(oldGlobs.size(), match->second.size()); ++i) {
            const GlobEntry& a = *oldGlobs[i];
            const GlobEntry& b = *match->second[i];
            if (a.ValueBytes() != b.ValueBytes() || a.valueLen != b.valueLen)
                diff.changed.push_back({shown(name), a.value, b.value});
        }
    }
    diff.onlyInOld = Unmatched(olds, news, shown);
    diff.onlyInNew = Unmatched(news, olds, shown);
}

}  // namespace

SaveDiff Compare(const CSaveGame& oldSave, const CSaveGame& newSave, const ShowText& shown) {
    SaveDiff diff;
    for (const auto& [key, field] : kComparedTexts) {
        std::string before = shown(oldSave.Player()[field].Text());
        std::string after = shown(newSave.Player()[field].Text());
        if (before != after) diff.texts.push_back({key, before, after});
    }
    if (oldSave.HasChargenClass() != newSave.HasChargenClass())
        diff.chargenClass = {oldSave.HasChargenClass(), newSave.HasChargenClass()};
    CompareGlobs(oldSave, newSave, diff, shown);
    return diff;
}

std::vector<std::string> DiffLines(const SaveDiff& diff, const ShowText& escaped) {
    std::vector<std::string> lines;
    for (const TextChange& t : diff.texts)
        lines.push_back(std::string(t.key) + ": \"" + escaped(t.before) + "\" -> \"" +
                        escaped(t.after) + "\"");
    if (diff.chargenClass)
        lines.push_back(std::string("chargen class: ") +
                        (diff.chargenClass->first ? "defined" : "not defined") + " -> " +
                        (diff.chargenClass->second ? "defined" : "not defined"));
    for (const GlobChange& g : diff.changed)
        lines.push_back("global " + escaped(g.name) + ": " + FormatFixed(g.before) + " -> " +
                        FormatFixed(g.after));
    for (const std::string& name : diff.onlyInOld)
        lines.push_back("only in old: global " + escaped(name));
    for (const std::string& name : diff.onlyInNew)
        lines.push_back("only in new: global " + escaped(name));
    return lines;
}

}  // namespace quellhart
