// Display modes on Windows: the registry's mode is the user's.

#include <windows.h>

#include "host/run/win32_run_services.h"

namespace {

bool SameMode(const DEVMODEA& a, const DEVMODEA& b) {
    return a.dmPelsWidth == b.dmPelsWidth && a.dmPelsHeight == b.dmPelsHeight &&
           a.dmBitsPerPel == b.dmBitsPerPel && a.dmDisplayFrequency == b.dmDisplayFrequency;
}

}  // namespace

// Asked first, because a switch takes its time even when it changes nothing, and the run's
// end waits for it.
void Win32DisplayModes::RestoreUserMode() {
    DEVMODEA current{};
    DEVMODEA user{};
    current.dmSize = user.dmSize = sizeof(DEVMODEA);
    if (EnumDisplaySettingsA(nullptr, ENUM_CURRENT_SETTINGS, &current) &&
        EnumDisplaySettingsA(nullptr, ENUM_REGISTRY_SETTINGS, &user) && SameMode(current, user)) {
        return;
    }
    ChangeDisplaySettingsA(nullptr, 0);
}
