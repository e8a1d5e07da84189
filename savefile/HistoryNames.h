// The names in a save's history folder, and the folder itself: how a version's name
// tells its time and whether it is the original, and which files of the folder are the
// editor's. Shared by the listing of the versions (SaveHistoryListing.cpp) and the
// steps that move versions in and out (SaveHistory.cpp); not for callers outside the
// save library.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "savefile/FileSystem.h"
#include "savefile/SaveHistory.h"

namespace quellhart::history {

// Versions written at the same time (to the nanosecond, or to the two seconds that FAT
// keeps) are told apart by "_02" up to "_99".
inline constexpr int kMostNamesPerTime = 99;
inline constexpr std::string_view kVersionExtension = ".ess";
// The mark of the first version kept, after its time, and the file that says the
// history's original has been put back as the save.
inline constexpr std::string_view kOriginalMark = "_original";
inline constexpr std::string_view kOriginalRestored = "original-was-restored";

// "2026-12-08T21-40-03.123456789Z": a version's name without its number and extension,
// to the nanosecond, so that versions written one right after another sort as written.
std::string VersionStem(std::int64_t timeNs);
// The stem, "_NN" for the n-th version of one time (n from 2), and ".ess".
std::string VersionName(const std::string& stem, int nth);
std::string OriginalName(const std::string& stem);

struct NamedVersion {
    std::int64_t timeNs;
    bool original;
};
// What a name of VersionName's or OriginalName's form stands for; nothing for any
// other name.
std::optional<NamedVersion> ReadVersionName(std::string_view name);

// A name in the folder, with the separator the folder's path already uses (a path
// typed on Windows may use either).
std::string Join(const std::string& folder, const std::string& name);
// The folder `path` is in.
std::string FolderAbove(const std::string& path);

// The history folder is the editor's only where it is a folder of its own beside the
// save: not a link, which could lead out of the save's folder (a commit would move the
// backup there, and trimming delete files there that merely have a version's name),
// and owned by whoever owns the save's folder.
FileStatus HistoryFolderIsOurs(FileSystem& files, const std::string& folder);
// The history's versions, the original first and the others oldest first: the files of
// the folder with names of the editor's making, nothing else. A folder that is not the
// editor's is not looked into. `originalRestored`: whether the original has been put
// back as the save.
FileStatus VersionsInHistory(FileSystem& files, const std::string& folder,
                             std::vector<SaveVersion>& versions, bool* originalRestored = nullptr);

}  // namespace quellhart::history
