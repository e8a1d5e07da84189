// The steps that move a save's versions in and out of its history: a backup kept, the
// oldest trimmed, a version put back as the save. Each is a step of a durable sequence.
#include "savefile/SaveHistory.h"

#include "savefile/FileClaim.h"
#include "savefile/HistoryNames.h"
#include "savefile/SaveGame.h"
#include "savefile/SaveReplace.h"
#include "savefile/SiblingPaths.h"
#include "savefile/SwapRecovery.h"

namespace quellhart {

using namespace history;

namespace {

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
