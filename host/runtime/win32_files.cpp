// Files as the host looks at them: whether one can be read, and its short (8.3) path.
#include <windows.h>

#include <string>

#include "host/runtime/win32_services.h"

std::wstring ShortPathOf(const std::wstring& path) {
    const DWORD length = GetShortPathNameW(path.c_str(), nullptr, 0);
    if (length == 0) return std::wstring();
    std::wstring shortPath(length, L'\0');
    const DWORD written = GetShortPathNameW(path.c_str(), shortPath.data(), length);
    if (written == 0 || written >= length) return std::wstring();
    shortPath.resize(written);
    return shortPath;
}

// Opened the way a sequential input file is: shared with readers and writers, so that only a
// file another program holds exclusively fails. Folders never count as files.
bool Win32FileProbe::CanOpenForReading(const std::string& path) const {
    const std::wstring widePath = WideFromUtf8(path);
    const DWORD attributes = GetFileAttributesW(widePath.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        return false;
    }
    HANDLE file = CreateFileW(widePath.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    CloseHandle(file);
    return true;
}

std::optional<std::string> Win32FileProbe::ShortPath(const std::string& path) const {
    const std::wstring shortPath = ShortPathOf(WideFromUtf8(path));
    if (shortPath.empty()) return std::nullopt;
    return Utf8FromWide(shortPath);
}
