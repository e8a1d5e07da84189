// The system's message boxes and file-open dialog.
#include <cstdio>

#include "ui/platform/Prompts.h"
#include "ui/platform/win32/Win32.h"

namespace quellhart::ui {
namespace {

// What the common dialogs' extended error says, in words; empty for none (the user
// cancelled).
std::string CommonDialogFailure(DWORD code) {
    if (code == 0) return {};
    const char* what = code == CDERR_DIALOGFAILURE     ? "the dialog could not be created"
                       : code == CDERR_INITIALIZATION  ? "the dialog could not be initialised"
                       : code == CDERR_MEMALLOCFAILURE ? "there was not enough memory"
                       : code == CDERR_LOADRESFAILURE  ? "a resource could not be loaded"
                       : code == FNERR_BUFFERTOOSMALL  ? "the file name is too long"
                       : code == FNERR_INVALIDFILENAME ? "the file name is not valid"
                       : code == FNERR_SUBCLASSFAILURE ? "there was not enough memory"
                                                       : "the system gave no more";
    char number[16];
    std::snprintf(number, sizeof number, "0x%04lX", static_cast<unsigned long>(code));
    return std::string("The file dialog failed (CommDlgExtendedError ") + number + "): " + what +
           ".";
}

class Win32Prompts : public Prompts {
public:
    // The system's message box has no place for details: they follow the text
    // after a blank line.
    int MessageBox(WindowHandle owner, const std::string& text, const std::string& caption,
                   unsigned type, const std::string& details) override {
        std::wstring shown = WideFromSaveText(text);
        if (!details.empty()) shown += L"\n\n" + WideFromUtf8(details);
        return MessageBoxW(ToHwnd(owner), shown.c_str(), WideFromSaveText(caption).c_str(), type);
    }

    std::optional<ChosenFile> OpenFile(WindowHandle owner, const FileDialogRequest& request,
                                       std::string& failure) override {
        failure.clear();
        // "Description\0patterns\0...\0\0"
        std::wstring filter;
        for (const auto& [description, patterns] : FileFilterPairs(request.filter))
            filter += WideFromSaveText(description) + L'\0' + WideFromSaveText(patterns) + L'\0';
        filter += L'\0';
        const std::wstring extension = WideFromUtf8(request.defaultExtension);
        std::wstring file(32768, L'\0');
        OPENFILENAMEW dialog{};
        dialog.lStructSize = sizeof dialog;
        dialog.hwndOwner = ToHwnd(owner);
        dialog.lpstrFilter = filter.c_str();
        dialog.lpstrFile = file.data();
        dialog.nMaxFile = DWORD(file.size());
        dialog.lpstrDefExt = extension.c_str();
        dialog.Flags = 0;  // the file need not exist; the read-only box shows
        if (!GetOpenFileNameW(&dialog)) {
            // Cancelled, or the dialog failed: only a failure leaves an error.
            failure = CommonDialogFailure(CommDlgExtendedError());
            return std::nullopt;
        }
        file.resize(wcslen(file.c_str()));
        return ChosenFile(Utf8FromWide(file), (dialog.Flags & OFN_READONLY) != 0);
    }
};

}  // namespace

std::unique_ptr<Prompts> MakeSystemPrompts() { return std::make_unique<Win32Prompts>(); }

}  // namespace quellhart::ui
