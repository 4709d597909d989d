// The host put together from one platform's services: the modules, the run form, the settings
// dialog and the preview window, then Main and the event loop for as long as a form is loaded.
#pragma once

#include "host/forms/preview_window.h"
#include "host/forms/settings_dialog.h"
#include "host/run/display_modes.h"
#include "host/runtime/cursor.h"
#include "host/runtime/file_probe.h"
#include "host/runtime/form.h"
#include "host/runtime/instance_lock.h"
#include "host/runtime/native_windows.h"
#include "host/runtime/process_launcher.h"
#include "host/runtime/profile_file.h"
#include "host/runtime/program.h"
#include "host/runtime/screen.h"
#include "host/runtime/text_code_page.h"
#include "host/runtime/timer.h"
#include "host/runtime/window_lookup.h"

struct HostPlatform {
    AnsiCodePage& codePage;
    ProgramServices& program;
    ScreenServices& screen;
    WindowLookup& lookup;
    InstanceLock& instanceLock;
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
