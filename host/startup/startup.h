// The host's start-up procedure: picks the mode from the command line, refuses a second
// instance, checks for the renderer and brings up the form of the mode.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "host/runtime/cursor.h"
#include "host/runtime/form.h"
#include "host/runtime/instance_lock.h"
#include "host/runtime/native_windows.h"
#include "host/runtime/program.h"
#include "host/runtime/screen.h"
#include "host/runtime/window_lookup.h"
#include "host/startup/settings.h"

// Window titles by which a running saver and an open settings dialog are recognised.
inline constexpr char kRunFormTitle[] = "Lumen_Ribbon_Main";
inline constexpr char kSettingsDialogTitle[] = "<Lumen_Ribbon>";

// Module variables of the start-up module, alive for the whole host process.
struct StartupModule {
    std::optional<int32_t> CursorCount;  // the display count after the run mode hid the cursor
    int32_t ApiResult = 0;  // results of system calls; only the dialog's save looks at its own
    int16_t CursorX = 0;    // zoom origin in screen pixels
    int16_t CursorY = 0;
};

struct StartupServices {
    ProgramServices& program;
    const ScreenServices& screen;
    const WindowLookup& lookup;
    InstanceLock& instanceLock;
    NativeWindows& windows;
    CursorService& cursor;
    const SettingsFileAccess& settingsFile;
};

// The forms the start-up procedure brings up.
struct StartupForms {
    Form& run;       // Lumen_Ribbon_S, loaded hidden for a run
    Form& settings;  // Lumen_Ribbon_P, shown modally to configure
    Form& preview;   // Lumen_Ribbon_R, shown inside the preview pane
    // Places the preview picture: left, top, width, height in twips.
    std::function<void(double, double, double, double)> placePreviewPicture;
};

// The switch letter: the command line upper-cased, then its second character ("" when the line
// is shorter).
std::string ModeSwitch(const std::string& commandLine);

// The preview pane's handle: the number from the fourth character of the command line on, read
// the way Val reads it and rounded to the nearest integer. Numbers from 2^31 to 2^32 - 1 stand
// for the same 32-bit handle as their negative counterparts; anything wider gives 0.
WindowHandle PreviewParentHandle(const std::string& commandLine);

// Runs once at program start; afterwards the program lives in the form it brought up, or has
// been ended.
void Main(StartupModule& module, Settings& settings, const StartupServices& services,
          StartupForms& forms);
