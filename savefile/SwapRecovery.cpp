#include "savefile/SwapRecovery.h"

#include "savefile/FileClaim.h"
#include "savefile/SaveGame.h"
#include "savefile/SaveHistory.h"
#include "savefile/SiblingPaths.h"
#include "savefile/WholeSaveNote.h"

namespace quellhart {
namespace {

bool Exists(FileSystem& files, const std::string& path) {
    FileInfo info;
    return files.DescribePath(path, false, info) == FileError::kNone;
}

SaveError FinishInterruptedCommit(FileSystem& files, const std::string& save, int keep) {
    const std::string previousPath = *PreviousPathFor(save), workPath = *WorkPathFor(save),
                      backupPath = *BackupPathFor(save);
    FileClaim previous(files, previousPath);
    if (previous.Take() != FileError::kNone) return {};
    // The claim on ".prev" covers every name of the old save: a file has one lock. A
    // work file that is another file and claimed belongs to a commit still running,
    // and so does every name beside it.
    const bool workIsTheOldSave = NameStillRefersTo(files, workPath, previous.Handle());
    FileClaim work(files, workPath);
    if (!workIsTheOldSave && work.Take() == FileError::kLocked) return {};
    SaveError said;
    if (workIsTheOldSave) {
        // The commit had not yet moved the previous backup among the versions: done
        // now, as it would have, before the old save takes the backup's name. Where
        // the history cannot take it, it is not replaced: the old save keeps the work
        // file's name (and ".prev"), and the Open says where.
        std::string keptAs;
        FileStatus kept;
        FileInfo backup;
        if (keep > 0 && files.DescribePath(backupPath, false, backup) == FileError::kNone &&
            backup.kind == FileKind::kRegular) {
            kept = KeepInHistory(files, save, backupPath, KeptFrom::kPreviousBackup, keptAs);
            if (kept.Ok()) kept = files.SyncFolderOf(keptAs);
        }
        const FileStatus renamed = kept.Ok() ? files.Rename(workPath, backupPath)
                                             : files.RenameToFreeName(workPath, backupPath);
        if (!renamed.Ok())
            said = {errors::kStoppedCommitLeftAside,
                    (kept.Ok() ? renamed : kept).Cause() + "\nIt is " + workPath + "."};
        else if (!keptAs.empty())
            TrimHistory(files, save, keep);
    } else if (!Exists(files, save) && work.Handle() != kNoFile &&
               NameStillRefersTo(files, backupPath, previous.Handle())) {
        files.RenameToFreeName(workPath, save);
    }
    if (NameStillRefersTo(files, save, previous.Handle()) ||
        NameStillRefersTo(files, backupPath, previous.Handle()))
        files.Remove(previousPath);
    files.SyncFolderOf(save);
    return said;
}

void FinishInterruptedRestore(FileSystem& files, const std::string& save) {
    const std::string swapPath = *SwapPathFor(save), backupPath = *BackupPathFor(save);
    FileClaim parked(files, swapPath);
    if (parked.Take() != FileError::kNone || !BeginsAsASave(files, parked.Handle())) return;
    // A version's restore that stopped after the version took the save's name leaves
    // both names taken: the save it put aside is kept as a version.
    std::string keptAs;
    if (files.RenameToFreeName(swapPath, save) == FileError::kExists &&
        files.RenameToFreeName(swapPath, backupPath) == FileError::kExists)
        KeepInHistory(files, save, swapPath, KeptFrom::kOther, keptAs);
    files.SyncFolderOf(save);
}

}  // namespace

SaveError FinishInterruptedSwaps(FileSystem& files, const std::string& savePath, int keep) {
    if (!WorkPathFor(savePath)) return {};  // a name without ".ess" has no siblings
    SaveError said = FinishInterruptedCommit(files, savePath, keep);
    FinishInterruptedRestore(files, savePath);
    return said;
}

bool ReadyToPutBack(FileSystem& files, const std::string& savePath, const std::string& candidate,
                    int keep, const char* refusal, SaveError& error) {
    if (std::string version = VersionNotToEdit(savePath); !version.empty()) {
        error = {errors::kVersionNotASave, std::move(version)};
        return false;
    }
    if (std::string clash = SiblingOfAnotherSave(files, savePath); !clash.empty()) {
        error = {refusal, std::move(clash)};
        return false;
    }
    FinishInterruptedSwaps(files, savePath, keep);
    if (NotedLoadsWhole(files, candidate)) return true;
    CSaveGame loaded(files);
    if (loaded.OpenReadOnly(candidate) && loaded.Load()) return true;
    error = {candidate + ": " + loaded.GetErrorText(), loaded.GetError().cause};
    return false;
}

bool SecondNameOfSave(FileSystem& files, const std::string& candidate, FileHandle save,
                      const char* refusal, SaveError& error) {
    if (!NameStillRefersTo(files, candidate, save)) return false;
    const FileStatus removed = files.Remove(candidate);
    if (removed.Ok()) files.SyncFolderOf(candidate);
    error = {refusal, candidate +
                          " is the save itself under a second name, not an earlier "
                          "version" +
                          (removed.Ok() ? "; that name was removed." : ".")};
    error.AddCause(removed.Cause());
    return true;
}

std::string LeftBesideMissingSave(FileSystem& files, const std::string& savePath) {
    if (!WorkPathFor(savePath) || Exists(files, savePath)) return {};
    std::string found;
    for (const auto& sibling :
         {BackupPathFor(savePath), WorkPathFor(savePath), PreviousPathFor(savePath),
          SwapPathFor(savePath), HistoryPathFor(savePath)}) {
        if (!Exists(files, *sibling)) continue;
        found += found.empty() ? "" : ", ";
        found += *sibling;
    }
    return found.empty() ? found : "The save is missing; beside it: " + found + ".";
}

}  // namespace quellhart
