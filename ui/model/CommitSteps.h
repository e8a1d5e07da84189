// A commit as the user meets it, the same in every edition, one step at a time: the
// check of the player's texts, the two questions, the commit under the wait box,
// "Done" or the error, and the save loaded again, unless the commit failed with the
// save untouched: then the edits stay for another try. The window takes each step at
// once (its message boxes are modal); the browser edition awaits each of its dialogs
// and of the browser's writes.
#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "savefile/SaveErrors.h"

namespace quellhart::ui {

// A message box: its text and caption, its buttons and icon (MB_ flags), and the
// details beneath the text.
struct MessageBoxText {
    std::string text;
    std::string caption;
    unsigned type = 0;
    std::string details;
};

// What a commit that went through has to add beneath "Done" (the previous backup that
// could not be kept, and why): its text and cause, a line each; empty for nothing.
std::string NoteLines(const SaveError& note);

class CommitSteps {
public:
    enum class Kind {
        kShow,    // a message box; then Next() with the button pressed
        kCommit,  // the commit, under the wait box; then Committed() with its outcome
        kReload,  // the save loaded again; then Next()
        kEnd,
    };
    struct Step {
        Kind kind = Kind::kEnd;
        MessageBoxText box;  // for kShow
    };

    // `unstorableField`: the caption of the first player field holding a character
    // the save's code page lacks ("" for none), `unstorableCharacter` that character;
    // nothing is asked or written then. `hasBackup` is asked when the question about
    // the backup is due.
    // `backupKept`: earlier versions are kept, so the backup the question is about is
    // not deleted, which the question then says beneath its text.
    CommitSteps(std::string unstorableField, std::function<bool()> hasBackup,
                std::string unstorableCharacter = {}, bool backupKept = false);

    Step First();
    // After kShow, the button pressed (IDYES, IDNO, IDOK); after kReload, anything.
    Step Next(int button);
    // After kCommit: nothing for a commit made, else its error. `doneNote` follows
    // "Done"'s text where an edition has more to say of where the saves are.
    Step Committed(const SaveError* failure, std::string_view doneNote = {});
    // After kCommit: a failure that left the save as it was loaded. Its error is shown
    // and the commit ends there, the edits kept, so that the user can mend the cause
    // and commit them again; nothing is loaded again.
    Step Refused(const SaveError& failure);

private:
    enum class Stage {
        kNotStarted,
        kRefused,
        kConfirm,
        kReplaceBackup,
        kCommit,
        kReport,
        kReload,
        kEnd
    };
    Step End();

    std::string unstorableField_;
    std::string unstorableCharacter_;
    std::function<bool()> hasBackup_;
    bool backupKept_;
    Stage stage_ = Stage::kNotStarted;
};

}  // namespace quellhart::ui
