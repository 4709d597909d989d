// Display modes on Windows: the registry's mode is the user's.

#include <windows.h>

#include "host/run/win32_run_services.h"

void Win32DisplayModes::RestoreUserMode() {
    ChangeDisplaySettingsA(nullptr, 0);
}
