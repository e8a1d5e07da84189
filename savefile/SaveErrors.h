// Every error text the save document can report. The editor shows them verbatim and
// scripts match them, so they are kept exactly as they have always read.
#pragma once

#include <string>

namespace quellhart {

// What a failed operation says: the program's own text ("Error renaming .out file to
// .ess"), and beneath it, where there is more to say, the cause, one line or several:
// the system's reason with the file it concerned ("PATH: No space left on device"),
// or where each version of the save is after a step that could not be undone.
struct SaveError {
    std::string text;
    std::string cause;

    // Adds a line to the cause.
    void AddCause(const std::string& line) {
        if (line.empty()) return;
        cause += (cause.empty() ? "" : "\n") + line;
    }
    // Adds another note after this one: it becomes this one where there is none yet,
    // else its text and cause follow this one's cause.
    void AddNote(const SaveError& more) {
        if (text.empty()) {
            *this = more;
            return;
        }
        AddCause(more.text);
        AddCause(more.cause);
    }
};

}  // namespace quellhart

namespace quellhart::errors {

inline constexpr const char* kBlocked = "SG Blocked";
inline constexpr const char* kNoEssInName = "Save file name must contain .ess";
inline constexpr const char* kUnableToOpenSave = "Unable to open .ess file. Read";
inline constexpr const char* kNotASave = "File is not a Quellhart Savegame";

inline constexpr const char* kNoGlobSection = "No GLOB's section found!";
inline constexpr const char* kGlobExtraction = "Error during GLOB' extraction";
inline constexpr const char* kNoPlayerData = "No Player Data Found!";
inline constexpr const char* kPlayerSearch = "Error during Player Data Search";
inline constexpr const char* kPlayerExtraction = "Error during Player Data extraction";

// What an Open says of an edited save a stopped commit had written whole but not put
// in place, which it kept among the versions (the cause names it).
inline constexpr const char* kEditKeptAsVersion =
    "An edited save that a stopped commit had not put in place was kept among the versions.";

inline constexpr const char* kOpenOutForWrite = "Error Opening .out file to write to.";
inline constexpr const char* kReconstruction = "Error during .out file reconstruction";
inline constexpr const char* kReconstructionTail = "Error during .out file reconstruction.";
inline constexpr const char* kOpenOutForRead = "Unable to open .out file. Read.";
inline constexpr const char* kNoGlobAtAddress =
    "No GLOB section found at GLOB_Raw_Address on .out file!";
inline constexpr const char* kGlobExtractionFromOut = "Error During GLOB extraction from .out file";
inline constexpr const char* kGlobNotLocated =
    "Error Locating exact GLOB Item to modify on .out file!";
inline constexpr const char* kGlobWrite = "Error during GLOB write!";
inline constexpr const char* kGlobVerify = "After GLOB write check not verified!";
inline constexpr const char* kRenameSaveToBackup = "Error renaming .ess file to .bak";
inline constexpr const char* kRenameWorkToSave = "Error renaming .out file to .ess";
inline constexpr const char* kBeingWritten = "The save is being written by another program.";
inline constexpr const char* kChangedOnDisk =
    "The save was changed on disk after it was opened. Open it again.";
inline constexpr const char* kChangedWhileWritten =
    "The save was changed on disk while the new save was written.";
inline constexpr const char* kRestoreSwap =
    "Error swapping the save and its backup; both keep their old contents.";
inline constexpr const char* kRestoreVersion =
    "Error restoring the version; the save keeps its old contents.";
inline constexpr const char* kVersionNotASave =
    "This file is an earlier version of a save, not a save to edit.";
inline constexpr const char* kHistoryUnreadable = "The save's earlier versions cannot be listed.";
inline constexpr const char* kNoMemoryForNewSave =
    "There was not enough memory for the new save beside the old one.";
inline constexpr const char* kSaveNotLocked =
    "The save could not be locked while it was written: the file system has no locks. "
    "Another program writing it at the same moment would not have been kept out.";
inline constexpr const char* kVersionNotKept =
    "The previous backup could not be kept among the versions; it was replaced.";
// Beneath a refused commit whose previous backup could not step aside among the
// versions, on a file system where the old save must take the backup's name before
// the new save is in place.
inline constexpr const char* kBackupLeftAlone =
    "The previous backup could not be kept among the versions, so the commit did not "
    "replace it; the save and its backup are as they were.";
// Beneath "Done" where the folder could not be synced after the new save took its name.
inline constexpr const char* kPlacedNotDurable =
    "The new save is in place, but the system could not make that durable: after a power "
    "cut the save may be as it was before.";
inline constexpr const char* kStoppedCommitLeftAside =
    "A commit that was stopped could not be finished: the previous backup could not be kept "
    "among the versions, so it stays the backup, and the save before that commit was left "
    "beside it.";

}  // namespace quellhart::errors
