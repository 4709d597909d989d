#include <windows.h>

#include <cstring>
#include <string>
#include <vector>

#include "host/startup/win32_services.h"

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

// The short form of an existing path, or an empty text when the system has none.
std::wstring ShortPathOf(const std::wstring& path) {
    const DWORD length = GetShortPathNameW(path.c_str(), nullptr, 0);
    if (length == 0) return std::wstring();
    std::wstring shortPath(length, L'\0');
    const DWORD written = GetShortPathNameW(path.c_str(), shortPath.data(), length);
    if (written == 0 || written >= length) return std::wstring();
    shortPath.resize(written);
    return shortPath;
}

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
    // The system finds a program by a path of at most MAX_PATH characters; a longer one goes by
    // its short form.
    std::wstring program = WideFromUtf8(path);
    if (program.size() >= MAX_PATH) {
        const std::wstring shortPath = ShortPathOf(program);
        if (!shortPath.empty()) program = shortPath;
    }
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
