// Profile files through the system's ANSI profile functions.
#include <windows.h>

#include <cstring>
#include <string>

#include "host/runtime/win32_services.h"

// The system cuts its answer to the buffer it is given: asked again with more room until the
// answer leaves two bytes spare, as a cut quoted value comes back one byte shorter.
std::string Win32ProfileFile::ReadString(const std::string& section, const std::string& key,
                                         const std::string& file) {
    constexpr DWORD kLongestLine = 65536;
    std::string answer;
    for (DWORD size = 256; size <= kLongestLine; size *= 2) {
        answer.assign(size, '\0');
        const DWORD length = GetPrivateProfileStringA(section.c_str(), key.c_str(), "", &answer[0],
                                                      size, file.c_str());
        if (length + 2 < size) break;
    }
    answer.resize(std::strlen(answer.c_str()));
    return answer;
}

int32_t Win32ProfileFile::WriteString(const std::string& section, const std::string& key,
                                      const std::string& value, const std::string& file) {
    return WritePrivateProfileStringA(section.c_str(), key.c_str(), value.c_str(), file.c_str());
}
