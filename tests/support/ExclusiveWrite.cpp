#include "tests/support/ExclusiveWrite.h"

#ifdef _WIN32
#include <windows.h>

#include <filesystem>
#else
#include <fstream>
#endif

namespace quellhart::test {

bool WriteExclusively(const std::string& path, const std::string& bytes) {
#ifdef _WIN32
    HANDLE file = CreateFileW(std::filesystem::u8path(path).c_str(), GENERIC_WRITE, 0, nullptr,
                              TRUNCATE_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    DWORD written = 0;
    const bool wrote = WriteFile(file, bytes.data(), DWORD(bytes.size()), &written, nullptr) &&
                       written == bytes.size();
    return CloseHandle(file) && wrote;
#else
    // POSIX has no open that keeps others out: an ordinary rewrite.
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    return bool(out << bytes) && bool(out.flush());
#endif
}

}  // namespace quellhart::test
