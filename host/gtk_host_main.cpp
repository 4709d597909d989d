// Entry point of lumen-ribbon-host: the GTK and X11 services, the forms, then Main and the GLib
// main loop for as long as a form is loaded.
#include <gtk/gtk.h>

#include <cstdio>
#include <string>
#include <vector>

#include "host/forms/form_layout.h"
#include "host/forms/gtk_forms_ui.h"
#include "host/music/sound_system.h"
#include "host/run/run_form.h"
#include "host/run/x11_run_services.h"
#include "host/startup/arguments.h"
#include "host/startup/gtk_services.h"
#include "host/startup/posix_services.h"
#include "host/startup/startup.h"

int main(int argc, char** argv) {
    const ArgumentRequest request =
        ReadArguments(std::vector<std::string>(argv + (argc > 0 ? 1 : 0), argv + argc));
    if (request.kind == ArgumentRequest::Kind::Help) {
        std::fputs(UsageText("lumen-ribbon-host").c_str(), stdout);
        return 0;
    }
    if (request.kind == ArgumentRequest::Kind::Version) {
        std::printf("lumen-ribbon-host %s\n", LR_VERSION);
        return 0;
    }
    // Windows are looked up by X window names, so the host runs on X (or XWayland).
    gdk_set_allowed_backends("x11");
    if (!gtk_init_check(nullptr, nullptr)) {
        std::fprintf(stderr, "lumen-ribbon-host: cannot open the X display\n");
        return 1;
    }

    PosixAnsiCodePage codePage;
    PosixFileProbe files;
    GtkProgramServices program(request.commandLine, files);
    GtkScreen screen;
    X11WindowLookup lookup;
    X11NativeWindows windows;
    X11Cursor cursor;
    PosixProfileFile profile;
    GlibTimerService timers;
    GtkFormPlatform platform;
    const SettingsFileAccess settingsFile{profile, files, codePage, program};
    const StartupServices services{program, screen, lookup, windows, cursor, settingsFile};
    StartupModule module;
    Settings settings;

    // The run form, with the music it plays and the display mode it guards.
    auto sound = CreateSoundSystem();
    Lumen_Ribbon_BGM bgm(*sound, module.ApiResult);
    PosixProcessLauncher launcher;
    X11DisplayModes displayModes;
    Lumen_Ribbon_S runForm(
        RunFormServices{program, launcher, displayModes, lookup, cursor, platform, screen, timers},
        module, settings, bgm);
    Form& run = runForm.form();
    // The settings dialog, its controls and the file chooser and shell it calls.
    DesktopFileChooser fileChooser;
    DesktopShellOpener shell;
    const SettingsDialogServices dialogServices{program,      screen,      cursor, windows,
                                                settingsFile, fileChooser, shell};
    std::unique_ptr<DialogControls> dialogControls = MakeDialogControls(screen);
    SettingsDialog settingsDialog(settings, module, dialogServices, *dialogControls);
    Form dialog(platform, screen, SettingsDialogLook(),
                DialogFormEvents(settingsDialog, *dialogControls));
    dialogControls->Attach(dialog);

    // The preview window and its picture.
    X11CloseRequests closeRequests;
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
    program.EndProgram();
}
