#include "codepage/CodePage.h"
#include "ui/platform/win32/Win32.h"

namespace quellhart::ui {

std::wstring WideFromUtf8(std::string_view utf8) {
    if (utf8.empty()) return {};
    const int length = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), int(utf8.size()), nullptr, 0);
    std::wstring wide(size_t(length), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), int(utf8.size()), wide.data(), length);
    return wide;
}

std::string Utf8FromWide(std::wstring_view wide) {
    if (wide.empty()) return {};
    const int length = WideCharToMultiByte(CP_UTF8, 0, wide.data(), int(wide.size()), nullptr, 0,
                                           nullptr, nullptr);
    std::string utf8(size_t(length), '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide.data(), int(wide.size()), utf8.data(), length, nullptr,
                        nullptr);
    return utf8;
}

std::wstring WideFromSaveText(std::string_view bytes) {
    return WideFromUtf8(SaveTextCodePage().Decode(bytes));
}

std::string SaveTextFromWide(std::wstring_view wide) {
    return SaveTextCodePage().Encode(Utf8FromWide(wide));
}

std::wstring WindowTextOf(HWND window) {
    const int length = GetWindowTextLengthW(window);
    std::wstring text(size_t(length) + 1, L'\0');
    text.resize(size_t(GetWindowTextW(window, text.data(), length + 1)));
    return text;
}

HINSTANCE ProgramInstance() { return GetModuleHandleW(nullptr); }

}  // namespace quellhart::ui
