// The texts of the editor's questions and reports, shared by the editor window and
// the command-line tool so that both ask exactly the same.
#pragma once

#include <string>

namespace quellhart::messages {

inline constexpr const char* kConfirmCaption = "Please Confirm";
inline constexpr const char* kConfirmWrite =
    "Now the changes will be written to file.\n\n\nProceed?";
inline constexpr const char* kConfirmReplaceBackup =
    "Backup exists for this savegame.\n Will be deleted\n\nProceed?";
// Beneath the question above where earlier versions are kept: the backup is not deleted.
inline constexpr const char* kBackupKeptAmongVersions =
    "With earlier versions kept, the backup is not deleted: it moves among them (the folder "
    "NAME.history beside the save; Help, Versions... lists them).";
inline constexpr const char* kDoneCaption = "Done";
inline constexpr const char* kDone =
    "File Recostruction Done.\nOriginal file backed up as .bak.\n\nNow newly Created file will "
    "be loaded into the editor.\nPlease check changes are ok.";
inline constexpr const char* kErrorCaption = "Error";
inline constexpr const char* kWarningCaption = "Warning";
inline constexpr const char* kChargenWarning =
    "In-game generated class ID detected (NEWCLASSID_CHARGEN)\nbut no matching class definition "
    "found!";

// A player text the save's code page cannot hold, said after the field's caption and
// ": ": this, the code page's number, then the end.
inline constexpr const char* kNotInCodePage =
    "this text holds a character that a save cannot store (only the characters of "
    "Windows-";
inline constexpr const char* kNotInCodePageEnd = "). Nothing was written.";
inline std::string NotInCodePage(int codePage) {
    return kNotInCodePage + std::to_string(codePage) + kNotInCodePageEnd;
}
// The same, naming the first character that cannot be stored.
inline std::string NotInCodePage(int codePage, const std::string& character) {
    if (character.empty()) return NotInCodePage(codePage);
    return "this text holds '" + character +
           "', which a save cannot store (only the characters "
           "of Windows-" +
           std::to_string(codePage) + kNotInCodePageEnd;
}

// CommitChanges on a save opened with "Open as read-only" ticked.
inline constexpr const char* kOpenedReadOnly =
    "Savegame opened read-only.\nNothing will be written.\n\nOpen it again without \"Open as "
    "read-only\" to commit the changes.";

// The file-open dialog could not be shown; its reason follows.
inline constexpr const char* kFileDialogFailed =
    "The file dialog could not be shown. The save open stays open.";

// Restoring the backup from the help window.
inline constexpr const char* kHelpCaption = "Quellhart Savegame Editor Help";
inline constexpr const char* kHelpAbout = "About...";
inline constexpr const char* kHelpRestore = "Restore backup...";
inline constexpr const char* kConfirmRestore =
    "The save and its backup will swap places: the backup becomes the save, and the save "
    "becomes the backup.\n\nProceed?";
inline constexpr const char* kNoSaveToRestore =
    "Open a save first: its backup is restored in its place.";
inline constexpr const char* kNoBackup = "There is no backup of this save to restore.";
inline constexpr const char* kRestored =
    "The backup is now the save, and the save before it is the backup.\n\nThe save will be "
    "loaded into the editor again.";

// The earlier versions, from the help window.
inline constexpr const char* kHelpVersions = "Versions...";
inline constexpr const char* kNoSaveForVersions =
    "Open a save first: its earlier versions are listed.";
inline constexpr const char* kNoVersions = "No earlier versions of this save are kept.";
// What the page's status line says while it works, step by step.
inline constexpr const char* kReadingSave = "Reading the save...";
inline constexpr const char* kCheckingSave = "Checking that the save is as it was read...";
inline constexpr const char* kWritingNewSave = "Writing the new save...";
inline constexpr const char* kWritingVersions = "Keeping the backup among the versions...";
inline constexpr const char* kWritingBackup = "Writing the backup...";
inline constexpr const char* kWritingSave = "Writing the save in its folder...";
inline constexpr const char* kCheckingNewSave = "Checking the new save...";
// What the window's screen reader announcements say on loading a save.
inline constexpr const char* kLoaded = "Loaded";

// The save on disk changed while the editor showed it (the game saved): the window's
// line about it, also said to a screen reader, and the question a commit asks.
inline constexpr const char* kReloadedFromDisk = "The save changed on disk and was loaded again.";
inline constexpr const char* kChangedSinceEdits =
    "The save changed on disk since your edits began. They are kept.";
inline constexpr const char* kChangedDoesNotLoad =
    "The save changed on disk and does not load now; the one shown is kept.";
inline constexpr const char* kWaitingForSave =
    "The save does not load now (the game may be writing it); it is loaded once it does.";
inline constexpr const char* kApplyToNewer =
    "The save was changed on disk after it was opened.\n\nApply your changes to the newer save?";
inline constexpr const char* kHelpReload = "Reload";
inline constexpr const char* kNoSaveToReload = "Open a save first: it is loaded again from disk.";
inline constexpr const char* kReloadOnlyInFolder =
    "A save is loaded again from disk only when it was opened from a folder (Open folder...).";

// The page's memory is the browser's to give, at most 2 GiB: room for the save and its
// new copy up to about 1 GiB.
inline constexpr const char* kSaveTooLargeForThePage =
    "The browser gives this page at most 2 GiB, room for saves up to about 1 GiB. Commit a "
    "save this large with the desktop editor or quellhart-cli.";
inline constexpr const char* kVersionsOnlyInFolder =
    "Earlier versions are kept only when the save is opened from a folder (Open folder...).";
inline constexpr const char* kNothingChanged = "Nothing changed.";
inline constexpr const char* kVersionDoesNotLoad = "This version does not load: ";
inline constexpr const char* kNextDoesNotLoad = "The next version does not load.";
inline constexpr const char* kOriginalVersion = "the original";
inline constexpr const char* kBackupVersion = "the backup";
inline constexpr const char* kConfirmRestoreVersion =
    "The chosen version will become the save, and the save will be kept as a version.\n\n"
    "Proceed?";
inline constexpr const char* kVersionRestored =
    "The chosen version is now the save; the save before it is kept as a version.\n\nThe "
    "save will be loaded into the editor again.";

// The browser edition, before edits not yet written go (another save opened, the code
// page changed).
inline constexpr const char* kConfirmDropEdits =
    "Changes not yet written will be lost.\n\nProceed?";

// What a screen reader says for each picture.
inline constexpr const char* kIconAccessibleName = "Quellhart Savegame Editor icon";
inline constexpr const char* kBitmapAccessibleName = "Quellhart Savegame Editor picture";

}  // namespace quellhart::messages
