// Entry point of Lumen_Ribbon.scr: the Win32 services, the forms, then Main and the message loop
// for as long as a form is loaded.
#include <windows.h>

#include "host/forms/form_layout.h"
#include "host/forms/win32_forms_ui.h"
#include "host/music/sound_system.h"
#include "host/run/run_form.h"
#include "host/run/win32_run_services.h"
#include "host/startup/startup.h"
#include "host/startup/win32_services.h"

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

    // The run form, with the music it plays and the display mode it guards.
    auto sound = CreateSoundSystem();
    Lumen_Ribbon_BGM bgm(*sound, module.ApiResult);
    Win32ProcessLauncher launcher;
    Win32DisplayModes displayModes;
    Lumen_Ribbon_S runForm(
        RunFormServices{program, launcher, displayModes, lookup, cursor, platform, screen, timers},
        module, settings, bgm);
    Form& run = runForm.form();
    // The settings dialog, its controls and the file chooser and shell it calls.
    Win32FileChooser fileChooser;
    Win32ShellOpener shell;
    const SettingsDialogServices dialogServices{program,      screen,      cursor, windows,
                                                settingsFile, fileChooser, shell};
    std::unique_ptr<DialogControls> dialogControls = MakeDialogControls(screen);
    SettingsDialog settingsDialog(settings, module, dialogServices, *dialogControls);
    Form dialog(platform, screen, SettingsDialogLook(),
                DialogFormEvents(settingsDialog, *dialogControls));
    dialogControls->Attach(dialog);

    // The preview window and its picture.
    Win32CloseRequests closeRequests;
    std::unique_ptr<PreviewPicture> previewPicture = MakePreviewPicture(screen);
    Form preview(platform, screen, PreviewWindowLook(),
                 PreviewFormEvents(*previewPicture, module, closeRequests));
    previewPicture->Attach(preview);
    StartupForms forms{run, dialog, preview,
                       [&previewPicture](double left, double top, double width, double height) {
                           previewPicture->Place(left, top, width, height);
                       }};

    Main(module, settings, services, forms);
    platform.RunEventLoop(0, [&] { return run.Loaded() || dialog.Loaded() || preview.Loaded(); });
    return 0;
}
