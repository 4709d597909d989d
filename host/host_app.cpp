#include "host/host_app.h"

#include <memory>

#include "host/forms/form_layout.h"
#include "host/forms/forms_ui.h"
#include "host/music/deferred_sound.h"
#include "host/run/run_form.h"
#include "host/startup/startup.h"

void RunHost(const HostPlatform& platform) {
    const SettingsFileAccess settingsFile{platform.profile, platform.files, platform.codePage,
                                          platform.program};
    const StartupServices services{platform.program,      platform.screen,  platform.lookup,
                                   platform.instanceLock, platform.windows, platform.cursor,
                                   settingsFile};
    StartupModule module;
    Settings settings;

    // The run form, with the music it plays and the display mode it guards.
    DeferredSoundSystem sound(CreateSoundSystem);
    Lumen_Ribbon_BGM bgm(sound, module.ApiResult);
    Lumen_Ribbon_S runForm(
        RunFormServices{platform.program, platform.launcher, platform.displayModes, platform.lookup,
                        platform.cursor, platform.forms, platform.screen, platform.timers},
        module, settings, bgm);
    Form& run = runForm.form();
    // The settings dialog, its controls and the file chooser and shell it calls.
    const SettingsDialogServices dialogServices{
        platform.program, platform.screen,      platform.cursor, platform.windows,
        settingsFile,     platform.fileChooser, platform.shell};
    std::unique_ptr<DialogControls> dialogControls = MakeDialogControls(platform.screen);
    SettingsDialog settingsDialog(settings, module, dialogServices, *dialogControls);
    Form dialog(platform.forms, platform.screen, SettingsDialogLook(),
                DialogFormEvents(settingsDialog, *dialogControls));
    dialogControls->Attach(dialog);

    // The preview window and its picture.
    std::unique_ptr<PreviewPicture> previewPicture = MakePreviewPicture(platform.screen);
    Form preview(platform.forms, platform.screen, PreviewWindowLook(),
                 PreviewFormEvents(*previewPicture, module, platform.closeRequests));
    previewPicture->Attach(preview);
    StartupForms forms{run, dialog, preview,
                       [&previewPicture](double left, double top, double width, double height) {
                           previewPicture->Place(left, top, width, height);
                       }};

    Main(module, settings, services, forms);
    platform.forms.RunEventLoop(
        0, [&] { return run.Loaded() || dialog.Loaded() || preview.Loaded(); });
}
