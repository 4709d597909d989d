#pragma once
// The windows of the settings dialog and the preview window, as a host's entry point puts them
// together; each platform's *_dialog_window.cpp and *_preview_window.cpp files provide them.

#include <memory>

#include "host/forms/preview_window.h"
#include "host/forms/settings_dialog.h"
#include "host/startup/form.h"
#include "host/startup/screen.h"

// The dialog's controls inside its form window, driven by SettingsDialog.
class DialogControls : public SettingsDialogView {
  public:
    // The form whose window holds the controls; set once, before the form loads.
    virtual void Attach(Form& form) = 0;
    // Builds the controls in the loaded form's window; their events go to dialog.
    virtual void Create(SettingsDialog& dialog) = 0;
    // Takes the controls down before the form's window goes.
    virtual void Destroy() = 0;
};

std::unique_ptr<DialogControls> MakeDialogControls(const ScreenServices& screen);

// The form handlers of the dialog: SettingsDialogEvents with the controls made on load and
// taken down on unload.
FormEvents DialogFormEvents(SettingsDialog& dialog, DialogControls& controls);

// Img_Prev: the preview picture, drawn unscaled from its top-left corner.
class PreviewPicture {
  public:
    virtual ~PreviewPicture() = default;
    // The preview form; set once, before the form loads.
    virtual void Attach(Form& form) = 0;
    virtual WindowHandle FormHandle() const = 0;
    // Makes the picture a child of the loaded preview form.
    virtual void Create() = 0;
    virtual void Place(double left, double top, double width, double height) = 0;  // twips
};

std::unique_ptr<PreviewPicture> MakePreviewPicture(const ScreenServices& screen);

// The preview window's handlers: PreviewWindowEvents with the picture made on load.
FormEvents PreviewFormEvents(PreviewPicture& picture, StartupModule& module,
                             CloseRequests& requests);
