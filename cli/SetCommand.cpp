// `set`: the editor's commit, from the command line. The same document calls in the
// same order as the editor window: Open, Load, the globals page's value and modified
// flag, SetPlayerData with a record built like the window builds it, Commit, and a
// fresh Open and Load of the result.
#include <array>
#include <iostream>
#include <unordered_map>
#include <vector>

#include "cli/Commands.h"
#include "cli/ErrorLines.h"
#include "cli/SaveReport.h"
#include "codepage/CodePageChoice.h"
#include "res/EditorLimits.h"
#include "res/Messages.h"
#include "savefile/SiblingPaths.h"

namespace quellhart::cli {
namespace {

// The typed text as the save stores it: in the save's code page, at most as long as
// the editor's fields take.
std::string StoredText(const std::string& typed, const char* option, Console& console) {
    std::string bytes = SaveTextCodePage().Encode(typed);
    if (bytes.size() > limits::kPlayerTextBytes) {
        console.err << "Note: " << option << " is cut to its first " << limits::kPlayerTextBytes
                    << " characters, as the editor keeps them.\n";
        bytes.resize(limits::kPlayerTextBytes);
    }
    return bytes;
}

using TypedText = std::pair<const std::optional<std::string>&, const char*>;

// The options for name, race, class, head and hair, in that order.
std::array<TypedText, 5> PlayerOptions(const Request& request) {
    return {TypedText{request.name, "--name"}, TypedText{request.race, "--race"},
            TypedText{request.cls, "--class"}, TypedText{request.head, "--head"},
            TypedText{request.hair, "--hair"}};
}

// A text the save's code page cannot hold is refused before the save is opened: a '?'
// in its place would be a change nobody asked for.
bool TextsStorable(const Request& request, Console& console) {
    const int codePage = SaveTextCodePage().Number();
    for (const auto& [typed, option] : PlayerOptions(request)) {
        if (!typed) continue;
        const std::optional<std::string> unstorable = SaveTextCodePage().FirstUnstorable(*typed);
        if (!unstorable) continue;
        console.err << "quellhart-cli: " << option << " '" << ForTerminal(*typed) << "' holds '"
                    << ForTerminal(*unstorable) << "', which Windows-" << codePage
                    << " cannot store: the save's texts are read and written as Windows-"
                    << codePage
                    << " (give another code page with --code-page N only if the save was "
                       "written in another)\n";
        return false;
    }
    return true;
}

PlayerRecord EditedPlayer(const CSaveGame& save, const Request& request, Console& console) {
    const std::array<TypedText, 5> options = PlayerOptions(request);
    EditablePlayerTexts texts;
    for (size_t i = 0; i < texts.size(); ++i) {
        const auto& [typed, option] = options[i];
        texts[i] = typed ? StoredText(*typed, option, console)
                         : std::string(save.Player()[kEditablePlayerFields[i]].Text());
    }
    return EditedPlayerRecord(save.Player(), texts);
}

// Stores each NAME=VALUE in every slot of that name; a slot that already holds the
// value is left unmarked. False, with nothing changed in a file, when a name has no
// slot.
bool ApplyGlobals(CSaveGame& save, const Request& request, Console& console) {
    // The slots of each name, found once: a thousand names then cost a thousand
    // lookups, not a thousand passes over the globals.
    std::unordered_map<std::string_view, std::vector<int>> slotsByName;
    for (int i = 0; i < save.GlobCount(); ++i) slotsByName[save.Glob(i).NameText()].push_back(i);
    for (const auto& [name, value] : request.globals) {
        const auto slots = slotsByName.find(SaveTextCodePage().Encode(name));
        if (slots == slotsByName.end()) {
            console.err << "quellhart-cli: no global variable named '" << name << "'\n"
                        << UsageText();
            return false;
        }
        for (int i : slots->second) {
            const auto before = save.Glob(i).ValueBytes();
            save.SetGlobValue(i, value);
            if (save.Glob(i).ValueBytes() == before) save.Glob(i).modified = false;
        }
    }
    return true;
}

// Whether the edit changes anything the save holds: a text given that differs from
// the stored one, or a value marked as changed.
bool ChangesAnything(const CSaveGame& save, const PlayerRecord& record, const Request& request) {
    const std::array<TypedText, 5> options = PlayerOptions(request);
    for (size_t i = 0; i < options.size(); ++i)
        if (options[i].first && record[kEditablePlayerFields[i]].Text() !=
                                    save.Player()[kEditablePlayerFields[i]].Text())
            return true;
    for (int i = 0; i < save.GlobCount(); ++i)
        if (save.Glob(i).modified) return true;
    return false;
}

}  // namespace

int RunSet(const Request& request, Console& console) {
    const std::string& file = request.files[0];
    if (!TextsStorable(request, console)) return kExitUsage;
    // The number of versions to keep is known before the Open, which finishes a commit
    // that was stopped as that commit would have.
    const std::optional<int> keep = HistoryKeep(request, console);
    if (!keep) return kExitUsage;
    CSaveGame save(console.files);
    save.SetHistoryKeep(*keep);
    if (!OpenAndLoad(save, file, console, OpenFor::kEditing)) return kExitError;
    if (!ApplyGlobals(save, request, console)) return kExitUsage;
    const PlayerRecord record = EditedPlayer(save, request, console);
    // What the save holds already is not written again: the backup, and the versions
    // before it, stay as they are (a nightly script run twice loses nothing).
    if (!ChangesAnything(save, record, request)) {
        // A script reads the save as it is, as after any set; a person is told why
        // nothing was written.
        if (request.json) {
            console.err << "Nothing to change.\n";
            console.out << ShowAsJson(save, file);
        } else {
            console.out << "Nothing to change.\n";
        }
        return kExitOk;
    }

    if (!Confirm(messages::kConfirmWrite, request, console)) return kExitDeclined;
    if (HasBackup(file, console.files)) {
        if (*keep > 0 && !request.yes) console.err << messages::kBackupKeptAmongVersions << "\n";
        if (!Confirm(messages::kConfirmReplaceBackup, request, console)) return kExitDeclined;
    }

    save.SetPlayerData(record);
    if (!save.Commit()) {
        console.err << ErrorLines(save.GetError());
        return kExitError;
    }
    // The save has been replaced: whatever happens from here on, the exit code says
    // so, or a user would retry and push the original out of the backup.
    if (!save.GetCommitNote().text.empty()) console.err << ErrorLines(save.GetCommitNote());
    // Reported from what the commit knows, with no second read of the whole save: the
    // values as read back from the new save, the texts as written, the rest as loaded
    // (the commit copied it byte for byte, its size checked).
    console.out << (request.json ? ShowAsJson(save, file) : ShowAsText(save, file));
    return kExitOk;
}

}  // namespace quellhart::cli
