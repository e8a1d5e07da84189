// Every text of the program's own that a user can see, written out once, letter for
// letter: the save library's errors and the windows' questions, reports and
// captions. Other tests compare with these texts through the constants; this table
// is what says the constants are right (their slips included, such as
// "Recostruction", which the program has always shown).
#include <gtest/gtest.h>

#include <string>

#include "res/Messages.h"
#include "savefile/SaveErrors.h"

namespace quellhart {
namespace {

TEST(Texts, EveryTextAUserSeesIsAsWritten) {
    const std::pair<const char*, const char*> texts[] = {
        {errors::kBlocked, "SG Blocked"},
        {errors::kNoEssInName, "Save file name must contain .ess"},
        {errors::kUnableToOpenSave, "Unable to open .ess file. Read"},
        {errors::kNotASave, "File is not a Quellhart Savegame"},
        {errors::kNoGlobSection, "No GLOB's section found!"},
        {errors::kGlobExtraction, "Error during GLOB' extraction"},
        {errors::kNoPlayerData, "No Player Data Found!"},
        {errors::kPlayerSearch, "Error during Player Data Search"},
        {errors::kPlayerExtraction, "Error during Player Data extraction"},
        {errors::kOpenOutForWrite, "Error Opening .out file to write to."},
        {errors::kReconstruction, "Error during .out file reconstruction"},
        {errors::kReconstructionTail, "Error during .out file reconstruction."},
        {errors::kOpenOutForRead, "Unable to open .out file. Read."},
        {errors::kNoGlobAtAddress, "No GLOB section found at GLOB_Raw_Address on .out file!"},
        {errors::kGlobExtractionFromOut, "Error During GLOB extraction from .out file"},
        {errors::kGlobNotLocated, "Error Locating exact GLOB Item to modify on .out file!"},
        {errors::kGlobWrite, "Error during GLOB write!"},
        {errors::kGlobVerify, "After GLOB write check not verified!"},
        {errors::kRenameSaveToBackup, "Error renaming .ess file to .bak"},
        {errors::kRenameWorkToSave, "Error renaming .out file to .ess"},
        {errors::kBeingWritten, "The save is being written by another program."},
        {errors::kChangedOnDisk,
         "The save was changed on disk after it was opened. Open it again."},
        {errors::kRestoreSwap,
         "Error swapping the save and its backup; both keep their old contents."},
        {messages::kConfirmCaption, "Please Confirm"},
        {messages::kConfirmWrite, "Now the changes will be written to file.\n\n\nProceed?"},
        {messages::kConfirmReplaceBackup,
         "Backup exists for this savegame.\n Will be deleted\n\nProceed?"},
        {messages::kDoneCaption, "Done"},
        {messages::kDone,
         "File Recostruction Done.\nOriginal file backed up as .bak.\n\nNow newly Created file "
         "will be loaded into the editor.\nPlease check changes are ok."},
        {messages::kErrorCaption, "Error"},
        {messages::kWarningCaption, "Warning"},
        {messages::kChargenWarning,
         "In-game generated class ID detected (NEWCLASSID_CHARGEN)\nbut no matching class "
         "definition found!"},
        {messages::kNotInCodePage,
         "this text holds a character that a save cannot store (only the characters of Windows-"},
        {messages::kNotInCodePageEnd, "). Nothing was written."},
        {messages::kHelpCaption, "Quellhart Savegame Editor Help"},
        {messages::kHelpAbout, "About..."},
        {messages::kHelpRestore, "Restore backup..."},
        {messages::kConfirmRestore,
         "The save and its backup will swap places: the backup becomes the save, and the save "
         "becomes the backup.\n\nProceed?"},
        {messages::kNoSaveToRestore, "Open a save first: its backup is restored in its place."},
        {messages::kNoBackup, "There is no backup of this save to restore."},
        {messages::kRestored,
         "The backup is now the save, and the save before it is the backup.\n\nThe save will be "
         "loaded into the editor again."},
        {messages::kIconAccessibleName, "Quellhart Savegame Editor icon"},
        {messages::kBitmapAccessibleName, "Quellhart Savegame Editor picture"},
    };
    for (const auto& [constant, literal] : texts) EXPECT_STREQ(constant, literal);
}

}  // namespace
}  // namespace quellhart
