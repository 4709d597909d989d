// Entry point of Lumen_Ribbon.scr: the host over the Win32 services.
#include <windows.h>

#include "host/forms/win32_forms_ui.h"
#include "host/host_app.h"
#include "host/run/win32_run_services.h"
#include "host/runtime/win32_services.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    Win32AnsiCodePage codePage;
    Win32ProgramServices program;
    Win32Screen screen;
    Win32WindowLookup lookup;
    Win32InstanceLock instanceLock;
    Win32NativeWindows windows;
    Win32Cursor cursor;
    Win32ProfileFile profile;
    Win32FileProbe files;
    Win32TimerService timers;
    Win32FormPlatform forms(screen);
    Win32ProcessLauncher launcher;
    Win32DisplayModes displayModes;
    Win32FileChooser fileChooser;
    Win32ShellOpener shell;
    Win32CloseRequests closeRequests;
    RunHost({codePage, program, screen, lookup, instanceLock, windows, cursor, profile, files,
             timers, forms, launcher, displayModes, fileChooser, shell, closeRequests});
    return 0;
}
