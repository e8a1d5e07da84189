// Earlier versions of a save, kept in a folder beside it named by the sibling rule
// (".ess" -> ".history": "save1.history/" for "save1.ess"). A commit moves the backup
// it would replace into that folder instead, and a restore of a version the save it
// replaces: a rename, never a copy, so that keeping a version writes no byte of it.
//
// Each version is a whole save, named for the time it was last written (its
// modification time, in UTC), so that the names sort by time and a player or the game
// can open one as it is: "2026-12-08T21-40-03.123456789Z.ess", and where two versions were
// written at the same time (a file system that keeps times to two seconds),
// "2026-12-08T21-40-03.123456789Z_02.ess".
//
// The first version kept, the backup the editor's first commit that kept history
// replaced (the save as it was before the editor, or a still older backup), is "the
// original", and says so in its name: "2026-12-08T21-40-03.123456789Z_original.ess".
// Trimming never removes it, and no other version takes its place, whatever its time:
// a backup touched to 2001 or copied from an archive is one more version. Once the
// original is put back as the save, an empty file "original-was-restored" says that
// the history has none any more. A folder kept by an editor that did not mark the
// original (and holds neither name) takes its oldest version for it, as that editor
// did. Nothing in the folder whose name is not of these forms is ever touched.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "savefile/FileSystem.h"
#include "savefile/SaveDiff.h"
#include "savefile/SaveErrors.h"

namespace quellhart {

// How many versions are kept besides the original; 0 keeps none, and nothing is moved
// into the history or out of it.
inline constexpr int kDefaultHistoryKeep = 20;
inline constexpr const char* kHistoryKeepVariable = "QUELLHART_HISTORY_KEEP";

// The number in QUELLHART_HISTORY_KEEP, or the default where it is unset or empty.
// Anything but a whole number from 0 up is an error, said in `problem`.
int HistoryKeepFromEnvironment(std::string* problem = nullptr);
// A whole number from 0 up, as the variable and the command line take it.
std::optional<int> ParseWholeNumber(std::string_view text);

struct SaveVersion {
    std::string path;
    std::int64_t timeNs = 0;  // when it was last written
    std::int64_t bytes = 0;
    bool original = false;  // the first kept, which trimming leaves
    bool backup = false;    // the backup (".bak"), the newest
};

// The save's earlier versions: those in its history, oldest first, then its backup.
// A missing history folder is an empty history; a folder that cannot be read is an
// error.
FileStatus ListVersions(FileSystem& files, const std::string& savePath,
                        std::vector<SaveVersion>& versions);

// What changed from one version to the next (from the backup: to the save).
struct ChangesAfterVersion {
    std::optional<SaveDiff> toNext;  // none where this or the next did not load
    std::string problem;             // why this one did not load
};
// The changes after each of `versions` (ListVersions's), each version loaded once.
std::vector<ChangesAfterVersion> CompareVersions(FileSystem& files, const std::string& savePath,
                                                 const std::vector<SaveVersion>& versions,
                                                 const ShowText& shown);

// A version's time as the listing shows it: "2026-12-08T21:40:03Z".
std::string VersionTimeText(std::int64_t timeNs);

// What a file kept among the versions was: a commit's previous backup, which is the
// original where the history holds no version yet, or any other save (one a restore
// replaced, an edit a stopped commit left), which is never the original.
enum class KeptFrom { kPreviousBackup, kOther };

// Moves the file named `path`, a whole save of `savePath`'s, into the history under a
// name of its time, making the folder where there is none; `keptAs` is its new name.
// The file keeps `path` on failure.
FileStatus KeepInHistory(FileSystem& files, const std::string& savePath, const std::string& path,
                         KeptFrom from, std::string& keptAs);

// Where `path` is a version in a save's history (a file of a version's name in a
// folder "NAME.history"), a line saying so and how to put it back or copy it out:
// versions are history, read but never edited in place (its name would no longer tell
// its time, and its backup would land inside the history). Empty for anything else.
std::string VersionNotToEdit(const std::string& path);

// Removes the oldest versions beyond the `keep` newest, never the original; with
// `keep` 0, nothing. A version that cannot be removed stays; trimming never fails a
// commit.
void TrimHistory(FileSystem& files, const std::string& savePath, int keep);

// Makes `version` (one of ListVersions's) the save, byte for byte, after loading it
// whole; the save it replaces goes into the history (`keptAs` its new name), and the
// history is trimmed to `keep`. Returns false with `error` set, and every file under
// the name it had, when the version was not put back.
// `note`, where given, receives what "Done" is followed by (a save that could not be
// locked, on a file system without locks).
bool RestoreVersion(const std::string& savePath, const SaveVersion& version, int keep,
                    SaveError& error, std::string& keptAs, FileSystem& files = SystemFileSystem(),
                    SaveError* note = nullptr);

}  // namespace quellhart
