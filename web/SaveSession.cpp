// The browser edition's way into the save library: a small C interface that the page
// calls through WebAssembly. The page hands over the bytes of the save the user
// chose; the save lives in a file system in memory under its own file name, and is
// opened, loaded, edited and committed there exactly as the editor window does it on
// disk. After a commit the page takes the new save and the backup back out.
//
// What the pages show is made by the window's own rules (ui/model): the same lists in
// the same order, the same selection, the same field texts; the page only draws it.
//
// Texts cross as UTF-8, zero-terminated; each returned text stays valid until the
// next call. Every function reports failure through qh_error().
#include <cstdint>
#include <iterator>
#include <memory>
#include <optional>
#include <string>

#include "codepage/CodePageChoice.h"
#include "json/JsonText.h"
#include "res/ControlIds.h"
#include "res/DialogTemplates.h"
#include "res/EditorLimits.h"
#include "res/MessageBoxCodes.h"
#include "res/Messages.h"
#include "savefile/BackupRestore.h"
#include "savefile/FileSystemMemory.h"
#include "savefile/SaveErrors.h"
#include "savefile/SaveGame.h"
#include "savefile/SaveHistory.h"
#include "savefile/SiblingPaths.h"
#include "savefile/ValueText.h"
#include "ui/model/ChoiceList.h"
#include "ui/model/CommitSteps.h"
#include "ui/model/EditorKeys.h"
#include "ui/model/PageContents.h"
#include "ui/model/PendingEdits.h"
#include "ui/model/VersionList.h"

namespace quellhart::web {
namespace {

struct Session {
    MemoryFileSystem files;
    std::string name;
    std::string pending;  // the save's bytes on their way in
    std::unique_ptr<CSaveGame> save;
    EditablePlayerTexts texts;  // as the page's fields hold them, stored form
    // The first character of each field the code page could not store, as last given.
    EditablePlayerTexts unstorable;
    // What the save held as loaded, and the texts its fields showed then: what the
    // edits are told apart from when they go onto a newer save.
    ui::LoadedValues loaded;
    EditablePlayerTexts shownAtLoad;
    // The save under the name loaded afresh (the game saved), until it is taken.
    std::unique_ptr<CSaveGame> newer;
};

// The pages' lists live as long as the page, as the window's do: a race or class
// added for one save stays listed for the next.
struct Pages {
    ui::ChoiceList races{res::InitialRaces()};
    ui::ChoiceList classes{res::InitialClasses()};
    ui::ChoiceList globals;
    bool chargenWarning = false;  // due for the save just loaded
};

// Everything the page's calls share, in one object: the C interface the page calls
// has no place to pass it, so the one instance lives as long as the page.
struct Binding {
    std::unique_ptr<Session> session;
    Pages pages;
    // Versions are kept where the page writes into the save's folder; after a
    // download there is no folder to keep them in.
    int historyKeep = 0;
    ui::VersionList versions;               // as last listed
    std::optional<ui::CommitSteps> commit;  // the commit under way
    std::string returned;                   // the text or bytes last handed to the page
};
Binding gBinding;

const char* Return(std::string text) {
    gBinding.returned = std::move(text);
    return gBinding.returned.c_str();
}

// What a call that can fail returns: nothing ("") when it went through, else its own
// error as {"text", "cause"} (the cause the system's reason, or where each version of
// the save is), which the page shows as the window's message box does.
const char* Outcome(const SaveError* failure) {
    if (!failure) return Return("");
    return Return("{\"text\": " + JsonString(failure->text) +
                  ", \"cause\": " + JsonString(failure->cause) + "}");
}
const SaveError kNoSave{"No save is open.", {}};

// The session's save loaded afresh from its file, or none with `error`.
std::unique_ptr<CSaveGame> LoadSave(Session& session, SaveError& error) {
    auto save = std::make_unique<CSaveGame>(session.files);
    if (!save->Open(session.name) || !save->Load()) {
        error = save->GetError();
        return nullptr;
    }
    save->SetHistoryKeep(gBinding.historyKeep);
    return save;
}

// Makes `save` the session's and fills the pages from it; `keepChoice`: the variable
// chosen stays chosen by its name (the same save loaded again), else the first.
void ShowSave(Session& session, std::unique_ptr<CSaveGame> save, bool keepChoice) {
    const int chosen = gBinding.pages.globals.GetCurSel();
    const std::string chosenName =
        keepChoice && chosen >= 0 ? gBinding.pages.globals.GetLBText(chosen) : std::string();
    session.save = std::move(save);
    session.newer.reset();
    session.loaded = ui::LoadedValues::Of(*session.save);
    session.texts = session.loaded.texts;
    ui::FillGlobList(gBinding.pages.globals, *session.save);
    if (!chosenName.empty()) ui::SelectEntryNamed(gBinding.pages.globals, chosenName);
    gBinding.pages.chargenWarning =
        ui::ShowPlayerLists(gBinding.pages.races, gBinding.pages.classes, *session.save);
    // Race and class show as their lists have them ("dark elf" as "Dark Elf").
    session.shownAtLoad = session.texts;
    session.shownAtLoad[1] = gBinding.pages.races.EditText();
    session.shownAtLoad[2] = gBinding.pages.classes.EditText();
}

// Opens and loads the session's save; false with `error`.
bool OpenAndLoad(Session& session, SaveError& error) {
    session.save.reset();
    std::unique_ptr<CSaveGame> save = LoadSave(session, error);
    if (!save) return false;
    ShowSave(session, std::move(save), false);
    return true;
}

// The edits not yet committed: the texts as last given (qh_set_player_text) and the
// values confirmed.
ui::PendingEdits EditsNotCommitted(const Session& session) {
    return ui::CollectPendingEdits(*session.save, session.loaded, session.shownAtLoad,
                                   session.texts);
}

bool HaveSave() { return gBinding.session && gBinding.session->save; }

const char* OpenAndLoadOutcome(Session& session) {
    SaveError error;
    return Outcome(OpenAndLoad(session, error) ? nullptr : &error);
}

std::string JsonStrings(const std::vector<std::string>& items) {
    std::string out = "[";
    for (const std::string& item : items) out += (out.size() > 1 ? ", " : "") + JsonString(item);
    return out + "]";
}

// A commit's step for the page to take.
std::string JsonStep(const ui::CommitSteps::Step& step) {
    switch (step.kind) {
        case ui::CommitSteps::Kind::kShow: {
            const bool question = (step.box.type & ui::MB_TYPEMASK) == ui::MB_YESNO;
            return "{\"kind\": \"show\", \"caption\": " + JsonString(step.box.caption) +
                   ", \"text\": " + JsonString(step.box.text) +
                   ", \"details\": " + JsonString(step.box.details) + ", \"buttons\": " +
                   (question ? "[[\"Yes\", " + std::to_string(ui::IDYES) + "], [\"No\", " +
                                   std::to_string(ui::IDNO) + "]]"
                             : "[[\"OK\", " + std::to_string(ui::IDOK) + "]]") +
                   "}";
        }
        case ui::CommitSteps::Kind::kCommit:
            return R"({"kind": "commit"})";
        case ui::CommitSteps::Kind::kReload:
            return R"({"kind": "reload"})";
        case ui::CommitSteps::Kind::kEnd:
            break;
    }
    return R"({"kind": "end"})";
}

std::string Shown(std::string_view stored) { return SaveTextCodePage().Decode(stored); }

// Every file the library holds beside the save, and the save: its name, and the file
// it names, so that the page can tell what an operation changed and do the same in its
// folder.
std::vector<std::pair<std::string, std::uint64_t>> FilesBesideTheSave(Session& session) {
    std::vector<std::string> names = {session.name, BackupPathFor(session.name).value_or("")};
    const std::string history = HistoryPathFor(session.name).value_or("");
    std::vector<std::string> versions;
    if (!history.empty() && session.files.ListFolder(history, versions).Ok())
        for (const std::string& version : versions) {
            names.push_back(history + '/');
            names.back() += version;
        }
    std::vector<std::pair<std::string, std::uint64_t>> files;
    for (const std::string& name : names) {
        FileInfo info;
        if (!name.empty() && session.files.DescribePath(name, false, info).Ok())
            files.emplace_back(name, info.index);
    }
    return files;
}

// {"Caption": "text", ...} of a page's fields, captions as the page's template has them.
std::string JsonFields(const res::DialogTemplate& page,
                       const std::vector<std::pair<int, std::string>>& fields) {
    std::string out = "{";
    for (const auto& [id, value] : fields)
        out += (out.size() > 1 ? ", " : "") + JsonString(res::CaptionOf(page, id)) + ": " +
               JsonString(Shown(value));
    return out + "}";
}

// {"entries": [...], "selected": index, "text": "edit field"} of a list.
std::string JsonList(const ui::ChoiceList& list) {
    std::string out = "{\"entries\": [";
    for (int i = 0; i < list.GetCount(); ++i)
        out += (i ? ", " : "") + JsonString(Shown(list.GetLBText(i)));
    return out + "], \"selected\": " + std::to_string(list.GetCurSel()) +
           ", \"text\": " + JsonString(Shown(list.EditText())) + "}";
}

}  // namespace
}  // namespace quellhart::web

using namespace quellhart;
using namespace quellhart::web;

extern "C" {

// The texts and lists the page shows, the window's own: {"name": text, ...}.
const char* qh_texts() {
    std::string out = "{";
    const std::pair<const char*, const char*> texts[] = {
        {"confirmCaption", messages::kConfirmCaption},
        {"doneCaption", messages::kDoneCaption},
        {"errorCaption", messages::kErrorCaption},
        {"unableToOpen", errors::kUnableToOpenSave},
        {"warningCaption", messages::kWarningCaption},
        {"chargenWarning", messages::kChargenWarning},
        {"helpCaption", messages::kHelpCaption},
        {"helpAbout", messages::kHelpAbout},
        {"helpRestore", messages::kHelpRestore},
        {"confirmRestore", messages::kConfirmRestore},
        {"confirmDropEdits", messages::kConfirmDropEdits},
        {"noSaveToRestore", messages::kNoSaveToRestore},
        {"noBackup", messages::kNoBackup},
        {"restored", messages::kRestored},
        // What a commit into a folder may meet on the way.
        {"beingWritten", errors::kBeingWritten},
        {"changedOnDisk", errors::kChangedOnDisk},
        {"backupNotWritten", errors::kRenameSaveToBackup},
        {"saveNotWritten", errors::kRenameWorkToSave},
        {"notVerified", errors::kGlobVerify},
        {"versionNotKept", errors::kVersionNotKept},
        {"helpVersions", messages::kHelpVersions},
        {"noSaveForVersions", messages::kNoSaveForVersions},
        {"noVersions", messages::kNoVersions},
        {"versionsOnlyInFolder", messages::kVersionsOnlyInFolder},
        {"confirmRestoreVersion", messages::kConfirmRestoreVersion},
        {"versionRestored", messages::kVersionRestored},
        {"restoreVersionFailed", errors::kRestoreVersion},
        {"readingSave", messages::kReadingSave},
        {"checkingSave", messages::kCheckingSave},
        {"writingNewSave", messages::kWritingNewSave},
        {"writingVersions", messages::kWritingVersions},
        {"writingBackup", messages::kWritingBackup},
        {"writingSave", messages::kWritingSave},
        {"checkingNewSave", messages::kCheckingNewSave},
        {"loaded", messages::kLoaded},
        {"reloadedFromDisk", messages::kReloadedFromDisk},
        {"changedSinceEdits", messages::kChangedSinceEdits},
        {"helpReload", messages::kHelpReload},
        {"noSaveToReload", messages::kNoSaveToReload},
        {"reloadOnlyInFolder", messages::kReloadOnlyInFolder},
    };
    for (const auto& [key, text] : texts) out += JsonString(key) + ": " + JsonString(text) + ", ";
    // The wait box's and the About box's texts, and the window's keys.
    for (const auto& [key, dialog] :
         {std::pair{"wait", &res::WaitTemplate()}, std::pair{"about", &res::AboutTemplate()}}) {
        std::vector<std::string> lines;
        for (const res::ControlTemplate& control : dialog->controls)
            if (control.kind == res::ControlKind::Static && !control.text.empty())
                lines.push_back(control.text);
        out += JsonString(key) + ": " + JsonStrings(lines) + ", ";
    }
    out += "\"aboutCaption\": " + JsonString(res::AboutTemplate().caption) + ", ";
    // The versions window's caption, labels and buttons.
    const res::DialogTemplate& versions = res::VersionsTemplate();
    const auto controlText = [&](int id) {
        for (const res::ControlTemplate& control : versions.controls)
            if (control.id == id) return control.text;
        return std::string();
    };
    out += "\"versions\": {\"caption\": " + JsonString(versions.caption) +
           ", \"list\": " + JsonString(res::CaptionOf(versions, IDC_VERSION_LIST)) +
           ", \"changes\": " + JsonString(res::CaptionOf(versions, IDC_VERSION_CHANGES)) +
           ", \"restore\": " + JsonString(controlText(IDC_VERSION_RESTORE)) +
           ", \"close\": " + JsonString(controlText(IDC_VERSION_CLOSE)) + "}, ";
    out += "\"historyKeep\": " + std::to_string(kDefaultHistoryKeep) + ", ";
    std::vector<std::string> keys;
    for (const ui::EditorKey& key : ui::kEditorKeys)
        keys.push_back(std::string(key.keys) + ": " + key.description);
    out += "\"keys\": " + JsonStrings(keys) + ", ";
    out += "\"textLimit\": " + std::to_string(limits::kPlayerTextBytes) + "}";
    return Return(std::move(out));
}

// Room for a save of `size` bytes, which the page fills before qh_open: the bytes
// are copied once, from the page into the library, and never again.
std::uint8_t* qh_save_buffer(std::size_t size) {
    gBinding.session = std::make_unique<Session>();
    gBinding.session->pending.resize(size);
    return reinterpret_cast<std::uint8_t*>(gBinding.session->pending.data());
}

// Takes the bytes put in qh_save_buffer as the save of that file name (no folder),
// and opens and loads it; the error where the window would refuse it.
const char* qh_open(const char* name) {
    if (!gBinding.session) gBinding.session = std::make_unique<Session>();
    gBinding.session->name = name;
    gBinding.session->files.Put(name, std::move(gBinding.session->pending));
    return OpenAndLoadOutcome(*gBinding.session);
}

// Puts a file beside the save, from a folder the user chose: its backup, or a version
// in its history ("NAME.history/VERSION"), last written at `modifiedMs` (milliseconds
// since 1970; 0 for now). No bytes (null): the folder has no such file, nor has the
// library from now on.
void qh_put_file(const char* name, const std::uint8_t* bytes, std::size_t size, double modifiedMs) {
    if (!gBinding.session) return;
    if (!bytes) {
        gBinding.session->files.Remove(name);
        return;
    }
    std::optional<std::int64_t> modifiedNs;
    if (modifiedMs > 0) modifiedNs = std::int64_t(modifiedMs) * 1'000'000;
    gBinding.session->files.Put(name, std::string(reinterpret_cast<const char*>(bytes), size),
                                modifiedNs);
}

// Keeps `keep` versions besides the original from the next commit on (the page keeps
// them only in a folder, 0 after a download).
void qh_keep_versions(int keep) {
    gBinding.historyKeep = keep;
    if (gBinding.session && gBinding.session->save) gBinding.session->save->SetHistoryKeep(keep);
}

// The name of the folder of the save's versions beside it ("" when the name has none).
const char* qh_history_name() {
    return Return(gBinding.session ? HistoryPathFor(gBinding.session->name).value_or("") : "");
}

// The save, its backup and its versions as the library holds them: {"name": index}, a
// name whose index changed naming another file than before.
const char* qh_files() {
    if (!gBinding.session) return Return("{}");
    std::string out = "{";
    for (const auto& [name, index] : FilesBesideTheSave(*gBinding.session))
        out += (out.size() > 1 ? ", " : "") + JsonString(name) + ": " + std::to_string(index);
    return Return(out + "}");
}

// Lets go of every version held (once their list is closed): the save and its backup
// stay.
void qh_forget_versions() {
    if (!gBinding.session) return;
    const std::string history = HistoryPathFor(gBinding.session->name).value_or("");
    for (const auto& [name, index] : FilesBesideTheSave(*gBinding.session))
        if (!history.empty() && name.rfind(history + "/", 0) == 0)
            gBinding.session->files.Remove(name);
    gBinding.versions = {};
}

// The save's versions as the window lists them, from the versions put beside it:
// {"entries": [{"entry": text, "changes": text}, ...], "problem": text}.
const char* qh_versions() {
    if (!gBinding.session) return Return("{\"entries\": [], \"problem\": \"\"}");
    gBinding.versions = ui::ListVersionsOf(gBinding.session->files, gBinding.session->name);
    std::string out = "{\"entries\": [";
    for (size_t i = 0; i < gBinding.versions.entries.size(); ++i)
        out += (i ? ", " : "") + std::string("{\"entry\": ") +
               JsonString(Shown(gBinding.versions.entries[i].entry)) +
               ", \"changes\": " + JsonString(Shown(gBinding.versions.entries[i].changes)) + "}";
    return Return(out + "], \"problem\": " + JsonString(gBinding.versions.problem) + "}");
}

// How many versions a restore keeps: a restore happens only in a folder, which keeps
// versions even when no commit has said how many yet.
int RestoreKeeps() { return gBinding.historyKeep > 0 ? gBinding.historyKeep : kDefaultHistoryKeep; }

// Puts back the entry `index` of the last list as the save, keeping the save as a
// version, as the window does; the error, with every file as it was, where it cannot.
const char* qh_restore_version(int index) {
    SaveError error{errors::kRestoreVersion, {}};
    if (!gBinding.session || index < 0 || size_t(index) >= gBinding.versions.entries.size())
        return Outcome(&error);
    gBinding.session->save.reset();  // lets go of the save before its name changes hands
    std::string keptAs;
    const bool restored =
        RestoreVersion(gBinding.session->name, gBinding.versions.entries[size_t(index)].version,
                       RestoreKeeps(), error, keptAs, gBinding.session->files);
    return Outcome(restored ? nullptr : &error);
}

// Swaps the save and its backup, both put beside it with their bytes, as the window's
// "Restore backup..." does: the backup must load as a save first. The error, with
// both as they were, where it cannot.
const char* qh_restore_backup() {
    SaveError error;
    if (!gBinding.session) return Outcome(&kNoSave);
    gBinding.session->save.reset();  // lets go of the save before its name changes hands
    return Outcome(
        RestoreBackup(gBinding.session->name, RestoreKeeps(), error, gBinding.session->files)
            ? nullptr
            : &error);
}

// The name under which a restore parks the save while the two change places, the one
// the desktop's Open looks for and puts right ("" when the name has none).
const char* qh_swap_name() {
    return Return(gBinding.session ? SwapPathFor(gBinding.session->name).value_or("") : "");
}

// The bytes of the file `name` beside the save (one of qh_files's), valid until the
// next call; null when there is none. Their length is given in `size`.
const std::uint8_t* qh_file_named(const char* name, std::size_t* size) {
    *size = 0;
    const std::string* bytes = gBinding.session ? gBinding.session->files.Peek(name) : nullptr;
    if (!bytes) return nullptr;
    *size = bytes->size();
    return reinterpret_cast<const std::uint8_t*>(bytes->data());
}

// The two pages as the window shows them after the last call: {"player": {"fields",
// "races", "classes"}, "globals": {"list", "fields"}, "chargenWarning"}, each field
// under its caption; null without a save.
const char* qh_page() {
    if (!HaveSave()) return Return("null");
    const CSaveGame& save = *gBinding.session->save;
    const PlayerRecord& player = save.Player();
    std::string out = "{\"player\": {\"fields\": ";
    out += JsonFields(res::PlayerPageTemplate(),
                      {{IDC_PLAYER_RAW_ADDRESS, FormatHexOffset(save.PlayerRawAddress())},
                       {IDC_PLAYER_NAME, std::string(player[PlayerRecord::FNAM].Text())},
                       {IDC_PLAYER_RACE, gBinding.pages.races.EditText()},
                       {IDC_PLAYER_CLASS, gBinding.pages.classes.EditText()},
                       {IDC_PLAYER_HEAD, std::string(player[PlayerRecord::BNAM].Text())},
                       {IDC_PLAYER_HAIR, std::string(player[PlayerRecord::KNAM].Text())}});
    out += ", \"races\": " + JsonList(gBinding.pages.races);
    out += ", \"classes\": " + JsonList(gBinding.pages.classes);
    out += "}, \"globals\": {\"list\": " + JsonList(gBinding.pages.globals) + ", \"fields\": ";
    std::vector<std::pair<int, std::string>> fields = {
        {IDC_GLOB_COUNT, std::to_string(save.GlobCount())}};
    const int slot = ui::SelectedGlobSlot(gBinding.pages.globals, &save);
    if (slot >= 0)
        for (const ui::FieldText& field : ui::GlobFieldTexts(save.Glob(slot)))
            fields.emplace_back(field.id, field.text);
    out += JsonFields(res::GlobalsPageTemplate(), fields);
    out +=
        "}, \"chargenWarning\": " + std::string(gBinding.pages.chargenWarning ? "true" : "false");
    return Return(out + "}");
}

// The user chooses the list's entry `index` of the variables.
void qh_choose_glob(int index) { gBinding.pages.globals.SetCurSel(index); }

// The window's Confirm Change: the text typed into "Value (float)" (at most the 49
// characters the field takes) read as the field reads it, the leading number, 0
// when there is none, stored as the chosen variable's value.
int qh_confirm_change(const char* typed) {
    if (!HaveSave()) return 0;
    const int slot = ui::SelectedGlobSlot(gBinding.pages.globals, gBinding.session->save.get());
    if (slot < 0) return 0;
    gBinding.session->save->SetGlobValue(
        slot, GlobValueFromText(std::string(typed).substr(0, limits::kPlayerTextBytes)));
    return 1;
}

// The code page Windows gives the language of a browser's language tag ("ru-RU").
int qh_code_page_for_language(const char* language) { return CodePageForLocale(language); }

// Reads and writes the save's texts in code page `number` from now on; 0 when it is
// no code page known here.
int qh_use_code_page(int number) {
    const CodePage* codePage = CodePage::Find(number);
    if (!codePage) return 0;
    UseSaveTextCodePage(*codePage);
    return 1;
}

// One of the five player texts (0 name, 1 race, 2 class, 3 head, 4 hair), stored in
// the save's code page; refused, with nothing changed, when the code page cannot hold
// a character of it. A commit cuts a changed text to what the window's fields take.
const char* qh_set_player_text(int field, const char* utf8) {
    if (!HaveSave()) return Outcome(&kNoSave);
    if (field < 0 || field >= int(gBinding.session->texts.size())) return Return("");
    gBinding.session->unstorable[size_t(field)] =
        SaveTextCodePage().FirstUnstorable(utf8).value_or("");
    if (!gBinding.session->unstorable[size_t(field)].empty()) {
        const SaveError unstorable{
            messages::NotInCodePage(SaveTextCodePage().Number(),
                                    gBinding.session->unstorable[size_t(field)]),
            {}};
        return Outcome(&unstorable);
    }
    gBinding.session->texts[size_t(field)] = SaveTextCodePage().Encode(utf8);
    return Return("");
}

// The name of the save's backup beside it ("" when the name has none).
const char* qh_backup_name() {
    return Return(gBinding.session ? BackupPathFor(gBinding.session->name).value_or("") : "");
}

// The commit itself, in memory, as the window's; its error where it fails.
const char* qh_commit() {
    if (!HaveSave()) return Outcome(&kNoSave);
    Session& session = *gBinding.session;
    session.save->SetPlayerData(ui::RecordFromShownTexts(session.save->Player(), session.texts));
    if (session.save->Commit()) return Outcome(nullptr);
    SaveError error = session.save->GetError();
    if (error.cause.find(errors::kNoMemoryForNewSave) != std::string::npos)
        error.AddCause(messages::kSaveTooLargeForThePage);
    return Outcome(&error);
}

// The save loaded again after a commit or a restore, as the window does; the error
// when it can no longer be loaded.
const char* qh_reload() {
    return gBinding.session ? OpenAndLoadOutcome(*gBinding.session) : Outcome(&kNoSave);
}

// The save under its name loaded afresh (after qh_put_file has put the game's newer
// save there), held beside the one shown: {"edited": whether edits are pending (the
// texts as last given), "question": the window's question, listing what the game
// changed too}; the error when it does not load (the game still writing it, say),
// with the save shown kept.
const char* qh_newer() {
    if (!HaveSave()) return Outcome(&kNoSave);
    Session& session = *gBinding.session;
    SaveError error;
    session.newer = LoadSave(session, error);
    if (!session.newer) return Outcome(&error);
    const ui::PendingEdits edits = EditsNotCommitted(session);
    std::string question = messages::kApplyToNewer;
    if (const std::string clashes = ui::ClashLines(ui::ClashesWith(edits, *session.newer));
        !clashes.empty())
        question += "\n\n" + Shown(clashes);
    return Return("{\"edited\": " + std::string(edits.Empty() ? "false" : "true") +
                  ", \"question\": " + JsonString(question) + "}");
}

// Shows the save qh_newer loaded in place of the one shown, the variable chosen kept,
// with the edits not yet committed carried over to it (each value by its variable's
// name): they stay edits, for the next commit. The texts' fields are to show the
// page's texts again (qh_page).
void qh_take_newer() {
    if (!HaveSave() || !gBinding.session->newer) return;
    Session& session = *gBinding.session;
    const ui::PendingEdits edits = EditsNotCommitted(session);
    std::unique_ptr<CSaveGame> newer = std::move(session.newer);
    const ui::LoadedValues loaded = ui::LoadedValues::Of(*newer);
    const EditablePlayerTexts typed = ui::ApplyEdits(edits, *newer);
    ShowSave(session, std::move(newer), true);
    // The carried texts are still typed: told apart from the newer save's own.
    session.loaded = loaded;
    session.shownAtLoad = loaded.texts;
    session.texts = typed;
}

// A commit's steps in the window's order (ui::CommitSteps), each as {"kind": "show",
// "caption", "text", "details", "buttons": [[label, answer], ...]}, {"kind": "commit"},
// {"kind": "reload"} or {"kind": "end"}. `unstorableField` is the first player text
// (0 to 4) the code page cannot hold, or -1.
const char* qh_commit_begin(int unstorableField) {
    const bool refused =
        unstorableField >= 0 && unstorableField < int(std::size(ui::kPlayerTextControls));
    gBinding.commit.emplace(
        refused
            ? res::CaptionOf(res::PlayerPageTemplate(), ui::kPlayerTextControls[unstorableField])
            : "",
        [] {
            return gBinding.session && HasBackup(gBinding.session->name, gBinding.session->files);
        },
        refused && gBinding.session ? gBinding.session->unstorable[size_t(unstorableField)] : "",
        gBinding.historyKeep > 0);
    return Return(JsonStep(gBinding.commit->First()));
}

// The next step, after the button `answer` of a dialog or after the reload.
const char* qh_commit_next(int answer) {
    return Return(gBinding.commit ? JsonStep(gBinding.commit->Next(answer)) : JsonStep({}));
}

// The next step after the commit: made (`committed`, with `doneNote` to follow
// "Done"), or failed with `text` and `cause`. A failure that left the save as loaded
// (`saveChanged` 0) and the document able to commit again keeps the edits: nothing is
// loaded again.
const char* qh_commit_outcome(int committed, const char* doneNote, const char* text,
                              const char* cause, int saveChanged) {
    if (!gBinding.commit) return Return(JsonStep({}));
    if (committed) return Return(JsonStep(gBinding.commit->Committed(nullptr, doneNote)));
    const SaveError failure{text, cause};
    if (!saveChanged && gBinding.session && gBinding.session->save &&
        gBinding.session->save->CanCommit())
        return Return(JsonStep(gBinding.commit->Refused(failure)));
    return Return(JsonStep(gBinding.commit->Committed(&failure)));
}

// The bytes of the save (0) or its backup (1) as they are now, valid until the next
// call; null when there is none. Their length is given in `size`.
const std::uint8_t* qh_file(int which, std::size_t* size) {
    *size = 0;
    if (!gBinding.session) return nullptr;
    const auto name = which == 0 ? gBinding.session->name : BackupPathFor(gBinding.session->name);
    const std::string* bytes = name ? gBinding.session->files.Peek(*name) : nullptr;
    if (!bytes) return nullptr;
    *size = bytes->size();
    return reinterpret_cast<const std::uint8_t*>(bytes->data());
}

}  // extern "C"
