#include "savefile/SaveHistory.h"

#include <algorithm>
#include <charconv>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>

#include "savefile/FileClaim.h"
#include "savefile/SaveGame.h"
#include "savefile/SaveReplace.h"
#include "savefile/SiblingPaths.h"
#include "savefile/SwapRecovery.h"

namespace quellhart {
namespace {

constexpr std::int64_t kNsPerSecond = 1'000'000'000;
constexpr std::int64_t kSecondsPerDay = 86'400;
// Versions written at the same time (to the nanosecond, or to the two seconds that FAT
// keeps) are told apart by "_02" up to "_99".
constexpr int kMostNamesPerTime = 99;
constexpr std::string_view kVersionExtension = ".ess";
// The mark of the first version kept, after its time, and the file that says the
// history's original has been put back as the save.
constexpr std::string_view kOriginalMark = "_original";
constexpr std::string_view kOriginalRestored = "original-was-restored";

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

// "2026-12-08T21-40-03.123456789Z": a version's name without its number and extension,
// to the nanosecond, so that versions written one right after another sort as written.
std::string VersionStem(std::int64_t timeNs) {
    const Moment at = MomentOf(timeNs);
    char stem[96];
    std::snprintf(stem, sizeof stem, "%04lld-%02d-%02dT%02d-%02d-%02d.%09dZ",
                  static_cast<long long>(at.date.year), at.date.month, at.date.day, at.hour,
                  at.minute, at.second, at.nanosecond);
    return stem;
}

// The stem, "_NN" for the n-th version of one time (n from 2), and ".ess".
std::string VersionName(const std::string& stem, int nth) {
    char number[16] = "";
    if (nth > 1) std::snprintf(number, sizeof number, "_%02d", nth);
    return stem + number + std::string(kVersionExtension);
}
std::string OriginalName(const std::string& stem) {
    return stem + std::string(kOriginalMark) + std::string(kVersionExtension);
}

struct NamedVersion {
    std::int64_t timeNs;
    bool original;
};

// What a name of VersionName's or OriginalName's form stands for; nothing for any
// other name.
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

// A name in the folder, with the separator the folder's path already uses (a path
// typed on Windows may use either).
std::string Join(const std::string& folder, const std::string& name) {
    const size_t slash = folder.find_last_of('/'), backslash = folder.find_last_of('\\');
    const bool windowsStyle =
        backslash != std::string::npos && (slash == std::string::npos || backslash > slash);
    return folder + (windowsStyle ? "\\" : "/") + name;
}

// The folder `path` is in.
std::string FolderAbove(const std::string& path) {
    const size_t cut = path.find_last_of("/\\");
    if (cut == std::string::npos) return ".";
    return cut == 0 ? path.substr(0, 1) : path.substr(0, cut);
}

// The history folder is the editor's only where it is a folder of its own beside the
// save: not a link, which could lead out of the save's folder (a commit would move the
// backup there, and trimming delete files there that merely have a version's name),
// and owned by whoever owns the save's folder.
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

// The history's versions, the original first and the others oldest first: the files of
// the folder with names of the editor's making, nothing else. A folder that is not the
// editor's is not looked into. `originalRestored`: whether the original has been put
// back as the save.
FileStatus VersionsInHistory(FileSystem& files, const std::string& folder,
                             std::vector<SaveVersion>& versions, bool* originalRestored = nullptr) {
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

// Says, by an empty file in the history, that its original has been put back as the
// save: no other version is taken for it since. A mark that cannot be made leaves the
// oldest version to be taken for it.
void MarkOriginalRestored(FileSystem& files, const std::string& savePath) {
    const std::string mark = Join(*HistoryPathFor(savePath), std::string(kOriginalRestored));
    FileHandle made = kNoFile;
    if (files.CreateNew(mark, made).Ok()) {
        files.Close(made);
        files.SyncFolderOf(mark);
    }
}

// After a failed step of a version's restore: the cause, and where the versions are
// if they are not back under their names.
bool RefuseRestore(SaveError& error, const FileStatus& failed, const std::string& where = {}) {
    error = {errors::kRestoreVersion, failed.Cause()};
    error.AddCause(where);
    return false;
}

// A version's restore done: the history says so where the original was put back, and
// is trimmed.
bool RestoredVersion(FileSystem& files, const std::string& savePath, const SaveVersion& version,
                     int keep) {
    if (version.original) MarkOriginalRestored(files, savePath);
    TrimHistory(files, savePath, keep);
    return true;
}

// After the version and the save traded names: the save it replaced, now under the
// version's name, takes a version's name of its own time. (A stop in between leaves it
// under the version's name: kept, though named for the version's time.) Another
// program's save that had taken the save's name since the claim goes back to it, and
// so does the save where the history cannot take it.
bool KeepExchangedSave(FileSystem& files, const std::string& savePath, const SaveVersion& version,
                       FileHandle save, int keep, SaveError& error, std::string& keptAs) {
    FileInfo saveInfo;
    FileStatus done = files.Describe(save, saveInfo);
    const NameHolds took =
        done.Ok() ? WhatNameHolds(files, version.path, saveInfo, &done) : NameHolds::kUnknown;
    if (took == NameHolds::kThatFile) {
        done = files.SyncFolderOf(savePath);
        if (done.Ok()) done = files.SyncFolderOf(version.path);
        if (done.Ok())
            done = KeepInHistory(files, savePath, version.path, KeptFrom::kOther, keptAs);
        if (done.Ok()) return RestoredVersion(files, savePath, version, keep);
    }
    const bool undone = files.Exchange(version.path, savePath).Ok();
    files.SyncFolderOf(savePath);
    files.SyncFolderOf(version.path);
    if (took == NameHolds::kAnother && undone) {
        error = {errors::kChangedOnDisk, {}};
        return false;
    }
    return RefuseRestore(
        error, done,
        undone ? std::string()
               : "The version is now the save; the save it replaced is " + version.path + ".");
}

}  // namespace

std::optional<int> ParseHistoryKeep(std::string_view text) {
    int keep = 0;
    const auto [end, problem] = std::from_chars(text.data(), text.data() + text.size(), keep);
    if (text.empty() || problem != std::errc() || end != text.data() + text.size() || keep < 0)
        return std::nullopt;
    return keep;
}

int HistoryKeepFromEnvironment(std::string* problem) {
    const char* value = std::getenv(kHistoryKeepVariable);
    if (!value || !*value) return kDefaultHistoryKeep;
    if (const std::optional<int> keep = ParseHistoryKeep(value)) return *keep;
    if (problem)
        *problem = std::string(kHistoryKeepVariable) + " takes a whole number from 0 up, not '" +
                   value + "'.";
    return kDefaultHistoryKeep;
}

std::vector<VersionChanges> CompareVersions(FileSystem& files, const std::string& savePath,
                                            const std::vector<SaveVersion>& versions,
                                            const ShowText& shown) {
    const auto loaded = [&](const std::string& path, std::string& problem) {
        auto save = std::make_unique<CSaveGame>(files);
        if (save->OpenReadOnly(path) && save->Load()) return save;
        problem = save->GetErrorText();
        return std::unique_ptr<CSaveGame>();
    };
    std::vector<VersionChanges> changes(versions.size());
    if (versions.empty()) return changes;
    std::unique_ptr<CSaveGame> current = loaded(versions[0].path, changes[0].problem);
    for (size_t i = 0; i < versions.size(); ++i) {
        const bool last = i + 1 == versions.size();
        std::string saveProblem;
        std::unique_ptr<CSaveGame> next = loaded(last ? savePath : versions[i + 1].path,
                                                 last ? saveProblem : changes[i + 1].problem);
        if (current && next) changes[i].toNext = Compare(*current, *next, shown);
        current = std::move(next);
    }
    return changes;
}

std::string VersionTimeText(std::int64_t timeNs) {
    const Moment at = MomentOf(timeNs);
    char text[96];
    std::snprintf(text, sizeof text, "%04lld-%02d-%02dT%02d:%02d:%02dZ",
                  static_cast<long long>(at.date.year), at.date.month, at.date.day, at.hour,
                  at.minute, at.second);
    return text;
}

FileStatus ListVersions(FileSystem& files, const std::string& savePath,
                        std::vector<SaveVersion>& versions) {
    versions.clear();
    const std::optional<std::string> folder = HistoryPathFor(savePath);
    if (!folder) return FileError::kNone;
    bool originalRestored = false;
    if (FileStatus listed = VersionsInHistory(files, *folder, versions, &originalRestored);
        !listed.Ok())
        return listed;
    // Before the history holds any version, the backup is the one the next commit keeps
    // as the original.
    const std::string backup = *BackupPathFor(savePath);
    FileInfo info;
    if (files.DescribePath(backup, true, info).Ok() && info.kind == FileKind::kRegular)
        versions.push_back(
            {backup, info.modifiedNs, info.size, versions.empty() && !originalRestored, true});
    return FileError::kNone;
}

FileStatus KeepInHistory(FileSystem& files, const std::string& savePath, const std::string& path,
                         KeptFrom from, std::string& keptAs) {
    const std::optional<std::string> folder = HistoryPathFor(savePath);
    if (!folder) return FileError::kNotSupported;
    FileInfo version;
    if (FileStatus described = files.DescribePath(path, false, version); !described.Ok())
        return described;
    if (FileStatus made = files.CreateFolder(*folder); !made.Ok() && made != FileError::kExists)
        return made;
    // A file under the folder's name, or a link, is none of the editor's.
    if (FileStatus ours = HistoryFolderIsOurs(files, *folder); !ours.Ok()) return ours;
    // A version of a time that others have already is numbered after the last of them,
    // whichever were trimmed since, so that the names keep the order they were kept in.
    const std::string stem = VersionStem(version.modifiedNs);
    std::vector<std::string> names;
    if (FileStatus listed = files.ListFolder(*folder, names); !listed.Ok()) return listed;
    int after = 0;
    bool first = true;  // no version yet, and no original put back
    for (const std::string& name : names) {
        const std::optional<NamedVersion> named = ReadVersionName(name);
        first = first && !named && name != kOriginalRestored;
        if (!named || named->original || name.compare(0, stem.size(), stem) != 0) continue;
        const bool numbered = name.size() > stem.size() && name[stem.size()] == '_';
        after = std::max(after, numbered ? std::atoi(name.c_str() + stem.size() + 1) : 1);
    }
    const bool original = first && from == KeptFrom::kPreviousBackup;
    for (int nth = after + 1; nth <= kMostNamesPerTime; ++nth) {
        const std::string name =
            Join(*folder, original ? OriginalName(stem) : VersionName(stem, nth));
        // The folder's new entry is made durable (the caller syncs the folder the
        // version left), or the version goes back.
        FileStatus moved = DurableRename(files, path, name);
        if (moved == FileError::kExists) continue;
        if (!moved.Ok()) return moved;
        keptAs = name;
        return FileError::kNone;
    }
    return {FileError::kExists, "Too many versions of the same time", *folder};
}

std::string VersionNotToEdit(const std::string& path) {
    constexpr std::string_view kHistoryExtension = ".history";
    const size_t cut = path.find_last_of("/\\");
    if (cut == std::string::npos || !ReadVersionName(std::string_view(path).substr(cut + 1)))
        return {};
    const std::string folder = path.substr(0, cut);
    const size_t folderName = folder.find_last_of("/\\") + 1;  // 0 where there is no slash
    if (folder.size() < kHistoryExtension.size() + 1 ||
        folder.compare(folder.size() - kHistoryExtension.size(), kHistoryExtension.size(),
                       kHistoryExtension) != 0 ||
        folder.size() - kHistoryExtension.size() <= folderName)
        return {};
    const std::string save =
        folder.substr(0, folder.size() - kHistoryExtension.size()) + std::string(kVersionExtension);
    return path + " is an earlier version of " + save +
           ", kept in its history. Put it back as the save with Versions... in the editor or "
           "quellhart-cli restore " +
           save + " --version N (quellhart-cli history " + save +
           " lists them), or copy it out of " + folder + " to edit it as a save of its own.";
}

void TrimHistory(FileSystem& files, const std::string& savePath, int keep) {
    const std::optional<std::string> folder = HistoryPathFor(savePath);
    std::vector<SaveVersion> versions;
    if (keep <= 0 || !folder || !VersionsInHistory(files, *folder, versions).Ok() ||
        versions.empty())
        return;
    // The original, where there is one, is the first and stays; the `keep` newest of the
    // others are the last.
    const size_t first = versions.front().original ? 1 : 0;
    const size_t others = versions.size() - first;
    const size_t surplus = others > size_t(keep) ? others - size_t(keep) : 0;
    for (size_t i = first; i < first + surplus; ++i) files.Remove(versions[i].path);
    if (surplus > 0) files.SyncFolderOf(versions.front().path);
}

bool RestoreVersion(const std::string& givenPath, const SaveVersion& version, int keep,
                    SaveError& error, std::string& keptAs, FileSystem& files, SaveError* note) {
    keptAs.clear();
    const std::string savePath = files.FinalPath(givenPath);
    const std::optional<std::string> parked = SwapPathFor(savePath);
    if (!parked) {
        error = {errors::kNoEssInName, {}};
        return false;
    }
    if (!ReadyToPutBack(files, savePath, version.path, keep, errors::kRestoreVersion, error))
        return false;
    // Both files are claimed before their names change, as a commit and the backup's
    // restore claim theirs. A missing save can have a version put back all the same.
    FileClaim saveClaim(files, savePath), versionClaim(files, version.path);
    FileStatus claimed = saveClaim.Take();
    const bool saveThere = claimed != FileError::kNotFound;
    if (!saveThere) claimed = {};
    if (saveThere && claimed.Ok() &&
        SecondNameOfSave(files, version.path, saveClaim.Handle(), errors::kRestoreVersion, error))
        return false;
    if (claimed.Ok()) claimed = versionClaim.Take();
    if (!claimed.Ok()) {
        error = {claimed == FileError::kLocked ? errors::kBeingWritten : errors::kUnableToOpenSave,
                 claimed.Cause()};
        return false;
    }
    if (note && saveThere && saveClaim.WithoutLock()) *note = {errors::kSaveNotLocked, {}};
    // Where the system exchanges two names in one step, the version and the save trade
    // names, so that the save's name never goes empty.
    if (saveThere) {
        const FileStatus exchanged = files.Exchange(version.path, savePath);
        if (exchanged.Ok())
            return KeepExchangedSave(files, savePath, version, saveClaim.Handle(), keep, error,
                                     keptAs);
        if (exchanged != FileError::kNotSupported) return RefuseRestore(error, exchanged);
    }
    // Elsewhere the save steps aside under ".swap", which the next Open puts back should
    // this stop half-way; the version takes the save's name; the save goes into the
    // history.
    if (saveThere) {
        // On the disk before the version takes the save's name.
        if (const FileStatus parking = DurableRename(files, savePath, *parked); !parking.Ok())
            return RefuseRestore(error, parking);
    }
    if (const FileStatus placed = files.RenameToFreeName(version.path, savePath); !placed.Ok()) {
        if (!saveThere || files.RenameToFreeName(*parked, savePath).Ok())
            return RefuseRestore(error, placed);
        // The save's name is empty, and the save could not go back to it: the next
        // Open puts it back from ".swap".
        if (placed != FileError::kExists)
            return RefuseRestore(error, placed, "The save is now " + *parked + ".");
        // Another program's save took the name meanwhile: it is newer, and the one put
        // aside becomes a version.
        KeepInHistory(files, savePath, *parked, KeptFrom::kOther, keptAs);
        files.SyncFolderOf(savePath);
        error = {errors::kChangedOnDisk, {}};
        error.AddCause(keptAs.empty() ? "The save it replaced is now " + *parked + "."
                                      : "The save it replaced is now " + keptAs + ".");
        return false;
    }
    FileStatus done = saveThere ? KeepInHistory(files, savePath, *parked, KeptFrom::kOther, keptAs)
                                : FileStatus();
    if (done.Ok()) done = files.SyncFolderOf(savePath);
    if (done.Ok()) return RestoredVersion(files, savePath, version, keep);
    // The history could not take the save, or the folder could not be made durable:
    // the names go back.
    const bool versionBack = files.RenameToFreeName(savePath, version.path).Ok();
    const std::string& replaced = keptAs.empty() ? *parked : keptAs;
    const bool saveBack =
        versionBack && (!saveThere || files.RenameToFreeName(replaced, savePath).Ok());
    files.SyncFolderOf(savePath);
    if (saveBack) return RefuseRestore(error, done);
    return RefuseRestore(
        error, done,
        versionBack ? "The save is now " + replaced + "."
                    : "The version is now the save; the save it replaced is " + replaced + ".");
}

}  // namespace quellhart
