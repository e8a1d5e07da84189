// Every question to the user goes through one replaceable interface: message boxes
// and the file-open dialog. The program uses the toolkit's real dialogs; tests
// install a scripted one (tests/ui/ScriptedPrompts.h) that answers from a list and
// records every call, so that no test ever blocks on a modal box.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "ui/platform/WinTypes.h"

namespace quellhart::ui {

struct FileDialogRequest {
    std::string defaultExtension;  // without the dot
    std::string filter;            // "Description (*.ext)|*.ext||"
};

// The file chosen in the file-open dialog: its full path in the file system's
// encoding, and whether the user ticked "Open as read-only" (where the dialog has it).
struct ChosenFile {
    ChosenFile(std::string chosenPath, bool openReadOnly = false)  // NOLINT: a path is one
        : path(std::move(chosenPath)), readOnly(openReadOnly) {}
    std::string path;
    bool readOnly;
};

class Prompts {
public:
    virtual ~Prompts() = default;
    // Text and caption are Windows-1252 bytes; returns IDOK, IDYES or IDNO.
    // `details`, when not empty, is shown apart from the text (the reason behind an
    // error), so that the box's own text stays what the program defines.
    virtual int MessageBox(WindowHandle owner, const std::string& text, const std::string& caption,
                           unsigned type, const std::string& details) = 0;
    // The chosen file, or nothing when cancelled or when the dialog failed; then
    // `failure` says why (the system's error), and is empty otherwise.
    virtual std::optional<ChosenFile> OpenFile(WindowHandle owner, const FileDialogRequest& request,
                                               std::string& failure) = 0;
};

// The toolkit's real dialogs.
std::unique_ptr<Prompts> MakeSystemPrompts();

// The prompts in use; real dialogs unless a test has installed others.
Prompts& CurrentPrompts();
// Installs `prompts` (nullptr: back to real dialogs) and returns the previous ones.
std::unique_ptr<Prompts> InstallPrompts(std::unique_ptr<Prompts> prompts);

// The filter's pairs of description and patterns: "Text|*.a;*.b|Text|*.c||".
std::vector<std::pair<std::string, std::string>> FileFilterPairs(const std::string& filter);

// A usage text laid out in columns for a terminal, laid out for a message box, whose
// font is proportional: each "  term   description" line becomes "term: description",
// its continuation lines joined to it.
std::string WithoutColumns(const std::string& text);

// Appends ".ext" to a file name typed without an extension.
std::string WithDefaultExtension(const std::string& path, const std::string& extension);

// The framework's MessageBox, through the current prompts.
int AfxMessageBox(WindowHandle owner, const std::string& text, const std::string& caption,
                  unsigned type, const std::string& details = {});

}  // namespace quellhart::ui
