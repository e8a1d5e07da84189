// The system's message boxes and file-open dialog.
#include "ui/platform/Prompts.h"
#include "ui/platform/win32/Win32.h"

namespace quellhart::ui {
namespace {

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

    std::optional<ChosenFile> OpenFile(WindowHandle owner,
                                       const FileDialogRequest& request) override {
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
        if (!GetOpenFileNameW(&dialog)) return std::nullopt;
        file.resize(wcslen(file.c_str()));
        return ChosenFile(Utf8FromWide(file), (dialog.Flags & OFN_READONLY) != 0);
    }
};

}  // namespace

std::unique_ptr<Prompts> MakeSystemPrompts() { return std::make_unique<Win32Prompts>(); }

}  // namespace quellhart::ui
