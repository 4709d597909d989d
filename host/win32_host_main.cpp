// Entry point of Lumen_Ribbon.scr: the Win32 services, the forms, then Main and the message loop
// for as long as a form is loaded.
#include <windows.h>

#include "host/startup/startup.h"
#include "host/startup/win32_services.h"

namespace {

FormLook LookOf(const char* caption, FormBorder border, uint32_t backColour, double clientWidth,
                double clientHeight) {
    FormLook look;
    look.caption = caption;
    look.border = border;
    look.backColour = backColour;
    look.clientWidth = clientWidth;
    look.clientHeight = clientHeight;
    return look;
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    Win32AnsiCodePage codePage;
    Win32ProgramServices program;
    Win32Screen screen;
    Win32WindowLookup lookup;
    Win32NativeWindows windows;
    Win32Cursor cursor;
    Win32ProfileFile profile;
    Win32FileProbe files;
    Win32TimerService timers;
    Win32FormPlatform platform(screen);
    const SettingsFileAccess settingsFile{profile, files, codePage, program};
    const StartupServices services{program, screen, lookup, windows, cursor, settingsFile};
    StartupModule module;
    Settings settings;

    // Stand-in forms, replaced by the run form, the settings dialog and the preview window.
    // The run stand-in is the hidden "Lumen_Ribbon_Main" window and ends the program at its
    // first tick; the others are plain windows with their captions.
    FormEvents runEvents;
    runEvents.queryUnload = [&program](bool&, UnloadMode) { program.EndProgram(); };
    Form run(platform, screen,
             LookOf(kRunFormTitle, FormBorder::FixedSingle, 0x8000000F, 1500, 1500), runEvents);
    Timer endRun(timers, 50, true, [&run] { run.Unload(); });
    run.AttachTimer(endRun);
    Form dialog(platform, screen,
                LookOf(kSettingsDialogTitle, FormBorder::FixedSingle, 0xC0C0C0, 7185, 3780), {});
    Form preview(platform, screen, LookOf("Preview Window", FormBorder::None, 0x000000, 2595, 1935),
                 {});
    StartupForms forms{run, dialog, preview, nullptr};

    Main(module, settings, services, forms);
    platform.RunEventLoop(0, [&] { return run.Loaded() || dialog.Loaded() || preview.Loaded(); });
    return 0;
}
