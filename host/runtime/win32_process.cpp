// Programs started by the system, held by their process handle.
#include <windows.h>

#include <string>

#include "host/runtime/win32_services.h"

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
