#include <windows.h>

#include <string>
#include <vector>

#include "host/startup/win32_services.h"

namespace {

std::string Utf8FromWide(const wchar_t* wide) {
    const int length = WideCharToMultiByte(CP_UTF8, 0, wide, -1, nullptr, 0, nullptr, nullptr);
    if (length <= 1) return std::string();
    std::string text(static_cast<std::size_t>(length), '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide, -1, text.data(), length, nullptr, nullptr);
    text.pop_back();  // the NUL
    return text;
}

}  // namespace

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

namespace {

// The process handle keeps the process object, and with it the answer, until it is closed.
class Win32StartedProcess : public StartedProcess {
  public:
    explicit Win32StartedProcess(HANDLE process) : process_(process) {}
    ~Win32StartedProcess() override { CloseHandle(process_); }
    Win32StartedProcess(const Win32StartedProcess&) = delete;
    Win32StartedProcess& operator=(const Win32StartedProcess&) = delete;

    bool StillRunning() const override { return WaitForSingleObject(process_, 0) == WAIT_TIMEOUT; }

  private:
    HANDLE process_;
};

}  // namespace

std::unique_ptr<StartedProcess> Win32ProcessLauncher::Start(const std::string& path) {
    const std::wstring program = WideFromUtf8(path);
    std::wstring commandLine = L"\"" + program + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_SHOWNORMAL;
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        nullptr, &startup, &process)) {
        return nullptr;
    }
    CloseHandle(process.hThread);
    return std::make_unique<Win32StartedProcess>(process.hProcess);
}

uint32_t Win32ProfileFile::GetString(const char* section, const char* key, const char* defaultValue,
                                     char* buffer, uint32_t size, const char* file) {
    return GetPrivateProfileStringA(section, key, defaultValue, buffer, size, file);
}

int32_t Win32ProfileFile::WriteString(const char* section, const char* key, const char* value,
                                      const char* file) {
    return WritePrivateProfileStringA(section, key, value, file);
}

// Opened the way a sequential input file is: shared with readers and writers, so that only a
// file another program holds exclusively fails. Folders never count as files.
bool Win32FileProbe::CanOpenForReading(const std::string& path) const {
    const std::string ansiPath = AnsiFromUtf8(path);
    const DWORD attributes = GetFileAttributesA(ansiPath.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        return false;
    }
    HANDLE file = CreateFileA(ansiPath.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    CloseHandle(file);
    return true;
}
