// Process watch on Windows: a process runs until its handle is signalled.

#include <windows.h>

#include "host/run/process_watch.h"

namespace {

class Win32ProcessWatch : public ProcessWatch {
  public:
    bool IsRunning(uint32_t processId) const override {
        HANDLE process = OpenProcess(SYNCHRONIZE, FALSE, processId);
        if (process == nullptr) return false;
        const bool running = WaitForSingleObject(process, 0) == WAIT_TIMEOUT;
        CloseHandle(process);
        return running;
    }
};

}  // namespace

std::unique_ptr<ProcessWatch> CreateProcessWatch() {
    return std::make_unique<Win32ProcessWatch>();
}
