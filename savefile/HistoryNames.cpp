#include "savefile/HistoryNames.h"

#include <algorithm>
#include <charconv>
#include <chrono>
#include <cstdio>

namespace quellhart::history {
namespace {

constexpr std::int64_t kNsPerSecond = 1'000'000'000;
constexpr std::int64_t kSecondsPerDay = 86'400;

// Days since 1970-01-01 to the civil date and back (proleptic Gregorian, in UTC), so
// that no time zone or locale of the system enters a name. A day past the month's end
// (a name made by hand, "02-31") counts on into the next month, as std::chrono does
// for a valid year and month.
struct CivilDate {
    std::int64_t year;
    int month, day;
};
CivilDate CivilFromDays(std::int64_t days) {
    const std::chrono::year_month_day date{std::chrono::sys_days{std::chrono::days{days}}};
    return {int(date.year()), int(unsigned(date.month())), int(unsigned(date.day()))};
}
std::int64_t DaysFromCivil(CivilDate date) {
    const std::chrono::year_month_day civil{std::chrono::year{int(date.year)},
                                            std::chrono::month{unsigned(date.month)},
                                            std::chrono::day{unsigned(date.day)}};
    return std::chrono::sys_days{civil}.time_since_epoch().count();
}

// Division that rounds down, for times before 1970 as well.
std::int64_t FloorDivide(std::int64_t value, std::int64_t by) {
    return value / by - (value % by < 0 ? 1 : 0);
}

struct Moment {
    CivilDate date;
    int hour, minute, second, nanosecond;
};
Moment MomentOf(std::int64_t timeNs) {
    const std::int64_t seconds = FloorDivide(timeNs, kNsPerSecond);
    const std::int64_t days = FloorDivide(seconds, kSecondsPerDay);
    const int ofDay = int(seconds - days * kSecondsPerDay);
    return {CivilFromDays(days), ofDay / 3600, ofDay / 60 % 60, ofDay % 60,
            int(timeNs - seconds * kNsPerSecond)};
}

}  // namespace

std::string VersionStem(std::int64_t timeNs) {
    const history::Moment at = history::MomentOf(timeNs);
    char stem[96];
    std::snprintf(stem, sizeof stem, "%04lld-%02d-%02dT%02d-%02d-%02d.%09dZ",
                  static_cast<long long>(at.date.year), at.date.month, at.date.day, at.hour,
                  at.minute, at.second, at.nanosecond);
    return stem;
}

std::string VersionName(const std::string& stem, int nth) {
    char number[16] = "";
    if (nth > 1) std::snprintf(number, sizeof number, "_%02d", nth);
    return stem + number + std::string(kVersionExtension);
}
std::string OriginalName(const std::string& stem) {
    return stem + std::string(kOriginalMark) + std::string(kVersionExtension);
}

std::optional<NamedVersion> ReadVersionName(std::string_view name) {
    int fields[7] = {};
    constexpr int kWidths[7] = {4, 2, 2, 2, 2, 2, 9};
    constexpr char kAfter[7] = {'-', '-', 'T', '-', '-', '.', 'Z'};
    size_t at = 0;
    for (int i = 0; i < 7; ++i) {
        const size_t end = at + size_t(kWidths[i]);
        if (end >= name.size() || name[end] != kAfter[i]) return std::nullopt;
        for (size_t c = at; c < end; ++c)
            if (name[c] < '0' || name[c] > '9') return std::nullopt;
        std::from_chars(name.data() + at, name.data() + end, fields[i]);
        at = end + 1;
    }
    std::string_view rest = name.substr(at);
    const bool original = rest.substr(0, kOriginalMark.size()) == kOriginalMark;
    if (original) {
        rest.remove_prefix(kOriginalMark.size());
    } else if (rest.size() == 3 + kVersionExtension.size() && rest[0] == '_' && rest[1] >= '0' &&
               rest[1] <= '9' && rest[2] >= '0' && rest[2] <= '9') {
        rest.remove_prefix(3);
    }
    if (rest != kVersionExtension) return std::nullopt;
    const auto& [year, month, day, hour, minute, second, ns] = fields;
    if (month < 1 || month > 12 || day < 1 || day > 31 || hour > 23 || minute > 59 || second > 60)
        return std::nullopt;
    const std::int64_t days = DaysFromCivil({year, month, day});
    return NamedVersion{
        (days * kSecondsPerDay + std::int64_t(hour) * 3600 + std::int64_t(minute) * 60 + second) *
                kNsPerSecond +
            ns,
        original};
}

std::string Join(const std::string& folder, const std::string& name) {
    const size_t slash = folder.find_last_of('/'), backslash = folder.find_last_of('\\');
    const bool windowsStyle =
        backslash != std::string::npos && (slash == std::string::npos || backslash > slash);
    return folder + (windowsStyle ? "\\" : "/") + name;
}

std::string FolderAbove(const std::string& path) {
    const size_t cut = path.find_last_of("/\\");
    if (cut == std::string::npos) return ".";
    return cut == 0 ? path.substr(0, 1) : path.substr(0, cut);
}

FileStatus HistoryFolderIsOurs(FileSystem& files, const std::string& folder) {
    FileInfo holder;
    if (FileStatus described = files.DescribePath(folder, false, holder); !described.Ok())
        return described;
    if (holder.kind == FileKind::kLink)
        return {FileError::kNotRegularFile, "A link, not a folder of the editor's", folder};
    if (holder.kind != FileKind::kFolder)
        return {FileError::kNotRegularFile, "Not a folder", folder};
    FileInfo above;
    if (files.DescribePath(FolderAbove(folder), true, above).Ok() && above.owner != holder.owner)
        return {FileError::kNotRegularFile, "Owned by another user than the save's folder", folder};
    return FileError::kNone;
}

FileStatus VersionsInHistory(FileSystem& files, const std::string& folder,
                             std::vector<SaveVersion>& versions, bool* originalRestored) {
    versions.clear();
    if (originalRestored) *originalRestored = false;
    // No folder, or none that a name this long can have: no versions.
    if (FileStatus ours = HistoryFolderIsOurs(files, folder); !ours.Ok())
        return ours == FileError::kNotFound || ours == FileError::kNotSupported ? FileStatus()
                                                                                : ours;
    std::vector<std::string> names;
    if (FileStatus listed = files.ListFolder(folder, names); !listed.Ok())
        return listed == FileError::kNotFound ? FileStatus() : listed;
    std::sort(names.begin(), names.end());
    bool restored = false, marked = false;
    for (const std::string& name : names) {
        restored = restored || name == kOriginalRestored;
        const std::optional<NamedVersion> named = ReadVersionName(name);
        FileInfo info;
        if (!named || !files.DescribePath(Join(folder, name), false, info).Ok() ||
            info.kind != FileKind::kRegular)
            continue;
        versions.push_back({Join(folder, name), named->timeNs, info.size, named->original, false});
        marked = marked || named->original;
    }
    std::stable_partition(versions.begin(), versions.end(),
                          [](const SaveVersion& v) { return v.original; });
    // A history kept before the original was marked: its oldest version is the one.
    if (!marked && !restored && !versions.empty()) versions.front().original = true;
    if (originalRestored) *originalRestored = restored;
    return FileError::kNone;
}

}  // namespace quellhart::history

namespace quellhart {

std::string VersionTimeText(std::int64_t timeNs) {
    const history::Moment at = history::MomentOf(timeNs);
    char text[96];
    std::snprintf(text, sizeof text, "%04lld-%02d-%02dT%02d:%02d:%02dZ",
                  static_cast<long long>(at.date.year), at.date.month, at.date.day, at.hour,
                  at.minute, at.second);
    return text;
}

}  // namespace quellhart
