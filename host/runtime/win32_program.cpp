#include <windows.h>

#include <string>
#include <vector>

#include "host/runtime/win32_services.h"

std::string Win32ProgramServices::CommandLine() const {
    return ArgumentsOfCommandLine(Utf8FromWide(GetCommandLineW()));
}

std::string Win32ProgramServices::HostFolder() const {
    std::vector<wchar_t> path(MAX_PATH);
    for (;;) {
        const DWORD length =
            GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length < path.size()) break;
        path.resize(path.size() * 2);
    }
    return FolderOfProgramPath(Utf8FromWide(path.data()));
}

void Win32ProgramServices::ShowMessage(const std::string& text, const std::string& title) {
    MessageBoxA(nullptr, AnsiFromUtf8(text).c_str(), AnsiFromUtf8(title).c_str(), MB_OK);
}

// The system closes every window of the process without sending it anything.
void Win32ProgramServices::EndProgram() {
    ExitProcess(0);
}
