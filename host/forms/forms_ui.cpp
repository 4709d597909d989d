#include "host/forms/forms_ui.h"

std::vector<FormControl*> DialogControls::Controls() {
    std::vector<FormControl*> controls;
    for (DialogControlEntry& entry : entries_) controls.push_back(&entry);
    return controls;
}

FormEvents DialogFormEvents(SettingsDialog& dialog, DialogControls& controls) {
    FormEvents events = SettingsDialogEvents(dialog);
    events.load = [&dialog, &controls] {
        controls.Create(dialog);
        dialog.Form_Load();
    };
    events.unload = [&dialog, &controls](bool&) {
        dialog.Form_Unload();
        controls.Destroy();
    };
    return events;
}

FormEvents PreviewFormEvents(PreviewPicture& picture, StartupModule& module,
                             CloseRequests& requests) {
    FormEvents events =
        PreviewWindowEvents(module, requests, [&picture] { return picture.FormHandle(); });
    events.load = [&picture] { picture.Create(); };
    return events;
}
