#include "ui/model/CommitSteps.h"

#include <utility>

#include "codepage/CodePage.h"
#include "res/MessageBoxCodes.h"
#include "res/Messages.h"

namespace quellhart::ui {
namespace {

constexpr unsigned kQuestion = MB_YESNO | MB_ICONEXCLAMATION;
constexpr unsigned kError = MB_OK | MB_ICONEXCLAMATION;

CommitSteps::Step Show(std::string text, const char* caption, unsigned type,
                       std::string details = {}) {
    return {CommitSteps::Kind::kShow, {std::move(text), caption, type, std::move(details)}};
}

}  // namespace

std::string NoteLines(const SaveError& note) {
    if (note.text.empty()) return {};
    return note.cause.empty() ? note.text : note.text + "\n" + note.cause;
}

CommitSteps::CommitSteps(std::string unstorableField, std::function<bool()> hasBackup,
                         std::string unstorableCharacter, bool backupKept)
    : unstorableField_(std::move(unstorableField)),
      unstorableCharacter_(std::move(unstorableCharacter)),
      hasBackup_(std::move(hasBackup)),
      backupKept_(backupKept) {}

CommitSteps::Step CommitSteps::End() {
    stage_ = Stage::kEnd;
    return {};
}

CommitSteps::Step CommitSteps::First() {
    if (!unstorableField_.empty()) {
        stage_ = Stage::kRefused;
        return Show(unstorableField_ + ": " +
                        messages::NotInCodePage(SaveTextCodePage().Number(), unstorableCharacter_),
                    messages::kErrorCaption, kError);
    }
    stage_ = Stage::kConfirm;
    return Show(messages::kConfirmWrite, messages::kConfirmCaption, kQuestion);
}

CommitSteps::Step CommitSteps::Next(int button) {
    switch (stage_) {
        case Stage::kConfirm:
            if (button == IDNO) return End();
            if (hasBackup_()) {
                stage_ = Stage::kReplaceBackup;
                return Show(messages::kConfirmReplaceBackup, messages::kConfirmCaption, kQuestion,
                            backupKept_ ? messages::kBackupKeptAmongVersions : "");
            }
            stage_ = Stage::kCommit;
            return {Kind::kCommit, {}};
        case Stage::kReplaceBackup:
            if (button == IDNO) return End();
            stage_ = Stage::kCommit;
            return {Kind::kCommit, {}};
        case Stage::kReport:
            // After "Done" or the error alike, the save on disk is loaded again.
            stage_ = Stage::kReload;
            return {Kind::kReload, {}};
        default:
            return End();
    }
}

CommitSteps::Step CommitSteps::Refused(const SaveError& failure) {
    if (stage_ != Stage::kCommit) return End();
    stage_ = Stage::kRefused;
    return Show(failure.text, messages::kErrorCaption, kError, failure.cause);
}

CommitSteps::Step CommitSteps::Committed(const SaveError* failure, std::string_view doneNote) {
    if (stage_ != Stage::kCommit) return End();
    stage_ = Stage::kReport;
    if (failure) return Show(failure->text, messages::kErrorCaption, kError, failure->cause);
    std::string done = messages::kDone;
    if (!doneNote.empty()) done.append("\n\n").append(doneNote);
    return Show(std::move(done), messages::kDoneCaption, MB_OK | MB_ICONINFORMATION);
}

}  // namespace quellhart::ui
