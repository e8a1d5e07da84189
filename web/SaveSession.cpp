// The browser edition's way into the save library: a small C interface that the page
// calls through WebAssembly. The page hands over the bytes of the save the user
// chose; the save lives in a file system in memory under its own file name, and is
// opened, loaded, edited and committed there exactly as the editor window does it on
// disk. After a commit the page takes the new save and the backup back out.
//
// Texts cross as UTF-8, zero-terminated; each returned text stays valid until the
// next call. Every function reports failure through qh_error().
#include <cstdint>
#include <memory>
#include <string>

#include "cli/Json.h"
#include "cli/SaveReport.h"
#include "codepage/CodePageChoice.h"
#include "res/DialogTemplates.h"
#include "res/EditorLimits.h"
#include "res/Messages.h"
#include "savefile/FileSystemMemory.h"
#include "savefile/SaveErrors.h"
#include "savefile/SaveGame.h"
#include "savefile/SiblingPaths.h"
#include "savefile/ValueText.h"

namespace quellhart::web {
namespace {

struct Session {
    MemoryFileSystem files;
    std::string name;
    std::string pending;  // the save's bytes on their way in
    std::unique_ptr<CSaveGame> save;
    EditablePlayerTexts texts;  // as the page's fields hold them, stored form
};

std::unique_ptr<Session> gSession;
std::string gReturned;  // the text or bytes last handed to the page
SaveError gError;

const char* Return(std::string text) {
    gReturned = std::move(text);
    return gReturned.c_str();
}

bool OpenAndLoad(Session& session) {
    session.save = std::make_unique<CSaveGame>(session.files);
    if (!session.save->Open(session.name) || !session.save->Load()) {
        gError = session.save->GetError();
        session.save.reset();
        return false;
    }
    for (size_t i = 0; i < session.texts.size(); ++i)
        session.texts[i] = std::string(session.save->Player()[kEditablePlayerFields[i]].Text());
    return true;
}

bool HaveSave() {
    if (gSession && gSession->save) return true;
    gError = {"No save is open.", {}};
    return false;
}

std::string JsonList(const std::vector<std::string>& items) {
    std::string out = "[";
    for (const std::string& item : items)
        out += (out.size() > 1 ? ", " : "") + cli::JsonString(item);
    return out + "]";
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
        {"confirmWrite", messages::kConfirmWrite},
        {"confirmReplaceBackup", messages::kConfirmReplaceBackup},
        {"doneCaption", messages::kDoneCaption},
        {"done", messages::kDone},
        {"errorCaption", messages::kErrorCaption},
        {"warningCaption", messages::kWarningCaption},
        {"chargenWarning", messages::kChargenWarning},
        // What a commit into a folder may meet on the way.
        {"beingWritten", errors::kBeingWritten},
        {"changedOnDisk", errors::kChangedOnDisk},
        {"backupNotWritten", errors::kRenameSaveToBackup},
        {"saveNotWritten", errors::kRenameWorkToSave},
        {"notVerified", errors::kGlobVerify},
    };
    for (const auto& [key, text] : texts)
        out += cli::JsonString(key) + ": " + cli::JsonString(text) + ", ";
    out += "\"races\": " + web::JsonList(res::InitialRaces());
    out += ", \"classes\": " + web::JsonList(res::InitialClasses());
    out += ", \"textLimit\": " + std::to_string(limits::kPlayerTextBytes) + "}";
    return Return(std::move(out));
}

// Room for a save of `size` bytes, which the page fills before qh_open: the bytes
// are copied once, from the page into the library, and never again.
std::uint8_t* qh_save_buffer(std::size_t size) {
    gSession = std::make_unique<Session>();
    gSession->pending.resize(size);
    return reinterpret_cast<std::uint8_t*>(gSession->pending.data());
}

// Takes the bytes put in qh_save_buffer as the save of that file name (no folder),
// and opens and loads it; 0 and an error text when the window would refuse it.
int qh_open(const char* name) {
    if (!gSession) gSession = std::make_unique<Session>();
    gSession->name = name;
    gSession->files.Put(name, std::move(gSession->pending));
    return OpenAndLoad(*gSession) ? 1 : 0;
}

// Puts a file beside the save (its backup, from a folder the user chose).
void qh_put_file(const char* name, const std::uint8_t* bytes, std::size_t size) {
    if (gSession)
        gSession->files.Put(name, std::string(reinterpret_cast<const char*>(bytes), size));
}

// The loaded save as `quellhart-cli show --json` reports it.
const char* qh_state() {
    if (!HaveSave()) return Return("null");
    return Return(cli::ShowAsJson(*gSession->save, gSession->name));
}

// The value of global `index` as the window shows it ("%f").
const char* qh_value_text(int index) {
    if (!HaveSave() || index < 0 || index >= gSession->save->GlobCount()) return Return("");
    return Return(FormatFixed(gSession->save->Glob(index).value));
}

// The window's Confirm Change: the typed text read as its value field reads it (at
// most 49 characters, the leading number, 0 when there is none).
int qh_set_value(int index, const char* typed) {
    if (!HaveSave() || index < 0 || index >= gSession->save->GlobCount()) return 0;
    gSession->save->SetGlobValue(
        index, GlobValueFromText(std::string(typed).substr(0, limits::kPlayerTextBytes)));
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
// the save's code page. Refused, with nothing changed, when the code page cannot hold
// a character or the text is longer than the window's fields take.
int qh_set_player_text(int field, const char* utf8) {
    if (!HaveSave() || field < 0 || field >= int(gSession->texts.size())) return 0;
    if (!SaveTextCodePage().CanHold(utf8)) {
        gError = {messages::NotInCodePage(SaveTextCodePage().Number()), {}};
        return 0;
    }
    const std::string stored = SaveTextCodePage().Encode(utf8);
    if (stored.size() > limits::kPlayerTextBytes) {
        gError = {
            "The text is longer than " + std::to_string(limits::kPlayerTextBytes) + " characters.",
            {}};
        return 0;
    }
    gSession->texts[size_t(field)] = stored;
    return 1;
}

// The name of the save's backup beside it ("" when the name has none).
const char* qh_backup_name() {
    return Return(gSession ? BackupPathFor(gSession->name).value_or("") : "");
}

// Whether the save has a backup beside it, which a commit replaces.
int qh_has_backup() { return gSession && HasBackup(gSession->name, gSession->files) ? 1 : 0; }

// The window's commit, then its reload of the new save.
int qh_commit() {
    if (!HaveSave()) return 0;
    Session& session = *gSession;
    session.save->SetPlayerData(EditedPlayerRecord(session.save->Player(), session.texts));
    if (!session.save->Commit()) {
        gError = session.save->GetError();
        OpenAndLoad(session);
        return 0;
    }
    return OpenAndLoad(session) ? 1 : 0;
}

// The bytes of the save (0) or its backup (1) as they are now, valid until the next
// call; null when there is none. Their length is given in `size`.
const std::uint8_t* qh_file(int which, std::size_t* size) {
    *size = 0;
    if (!gSession) return nullptr;
    const auto name = which == 0 ? gSession->name : BackupPathFor(gSession->name);
    const std::string* bytes = name ? gSession->files.Peek(*name) : nullptr;
    if (!bytes) return nullptr;
    *size = bytes->size();
    return reinterpret_cast<const std::uint8_t*>(bytes->data());
}

// The last failure's text, and its cause (the system's reason, or where each version
// of the save is), which the page shows beneath it as the window's message box does.
const char* qh_error() { return gError.text.c_str(); }
const char* qh_error_cause() { return gError.cause.c_str(); }

}  // extern "C"
