// The host put together from one platform's services: the modules, the run form, the settings
// dialog and the preview window, then Main and the event loop for as long as a form is loaded.
#pragma once

#include "host/forms/preview_window.h"
#include "host/forms/settings_dialog.h"
#include "host/run/display_modes.h"
#include "host/startup/cursor.h"
#include "host/startup/file_probe.h"
#include "host/startup/form.h"
#include "host/startup/native_windows.h"
#include "host/startup/process_launcher.h"
#include "host/startup/profile_file.h"
#include "host/startup/program.h"
#include "host/startup/screen.h"
#include "host/startup/text_code_page.h"
#include "host/startup/timer.h"
#include "host/startup/window_lookup.h"

struct HostPlatform {
    AnsiCodePage& codePage;
    ProgramServices& program;
    ScreenServices& screen;
    WindowLookup& lookup;
    NativeWindows& windows;
    CursorService& cursor;
    ProfileFile& profile;
    FileProbe& files;
    TimerService& timers;
    FormPlatform& forms;
    ProcessLauncher& launcher;
    DisplayModes& displayModes;
    FileChooser& fileChooser;
    ShellOpener& shell;
    CloseRequests& closeRequests;
};

// Returns once no form is loaded any more (or not at all: most ways out end the program).
void RunHost(const HostPlatform& platform);
