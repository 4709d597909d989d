#pragma once
// The windows of the settings dialog and the preview window, as a host's entry point puts them
// together; each platform's *_dialog_window.cpp and *_preview_window.cpp files provide them.

#include <memory>
#include <vector>

#include "host/controls/command_window.h"
#include "host/forms/command_buttons.h"
#include "host/forms/preview_window.h"
#include "host/forms/settings_dialog.h"
#include "host/startup/form.h"
#include "host/startup/screen.h"

// One of the dialog's controls as SetCommandButtons sees it: a Command button, or (null) any
// other kind of control.
class DialogControlEntry : public FormControl, public CommandButtonPort {
  public:
    explicit DialogControlEntry(lr::CommandWindow* command) : command_(command) {}
    CommandButtonPort* AsCommand() override { return command_ ? this : nullptr; }
    void Initialize() override { command_->Button().Initialize(); }
    void SetEnabled(bool enabled) override { command_->Button().Enabled(enabled); }

  private:
    lr::CommandWindow* command_;
};

// The dialog's controls inside its form window, driven by SettingsDialog. What goes through the
// form is the same on every platform; the controls themselves are each platform's.
class DialogControls : public SettingsDialogView {
  public:
    // The form whose window holds the controls; set once, before the form loads.
    void Attach(Form& form) { form_ = &form; }
    // Builds the controls in the loaded form's window; their events go to dialog.
    virtual void Create(SettingsDialog& dialog) = 0;
    // Takes the controls down before the form's window goes.
    virtual void Destroy() = 0;

    WindowHandle Handle() const override { return form_->Handle(); }
    double Width() const override { return form_->Width(); }
    double Height() const override { return form_->Height(); }
    void MoveTo(double left, double top) override {
        form_->Move(left, top, form_->Width(), form_->Height());
    }
    std::vector<FormControl*> Controls() override;

  protected:
    Form* form_ = nullptr;
    // One per control of the layout, in its order; null where it is no Command button.
    std::vector<DialogControlEntry> entries_;
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
