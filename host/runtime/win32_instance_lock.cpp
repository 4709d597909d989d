// The instance lock as a named mutex of the user's session, owned by the host's one thread until
// the program ends; the system lets go of it however the program ends.
#include <windows.h>

#include "host/runtime/win32_services.h"

Win32InstanceLock::~Win32InstanceLock() {
    if (mutex_ != nullptr) CloseHandle(static_cast<HANDLE>(mutex_));
}

bool Win32InstanceLock::Acquire() {
    if (owned_) return true;
    if (mutex_ == nullptr) mutex_ = CreateMutexW(nullptr, FALSE, L"Local\\Lumen_Ribbon_Host");
    if (mutex_ == nullptr) return true;
    // Abandoned: its last owner ended without letting go, and it is this host's now.
    const DWORD result = WaitForSingleObject(static_cast<HANDLE>(mutex_), 0);
    owned_ = result == WAIT_OBJECT_0 || result == WAIT_ABANDONED;
    return owned_ || result == WAIT_FAILED;
}
