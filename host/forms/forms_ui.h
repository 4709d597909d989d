#pragma once
// The windows of the settings dialog and the preview window, as a host's entry point puts them
// together; each platform's *_dialog_window.cpp and *_preview_window.cpp files provide them.

#include <memory>
#include <string>
#include <vector>

#include "host/controls/command_window.h"
#include "host/forms/command_buttons.h"
#include "host/forms/form_layout.h"
#include "host/forms/preview_window.h"
#include "host/forms/settings_dialog.h"
#include "host/runtime/form.h"
#include "host/runtime/screen.h"

// One of the dialog's controls as SetCommandButtons sees it: a Command button, or (null) any
// other kind of control.
class DialogControlEntry : public FormControl, public CommandButtonPort {
  public:
    explicit DialogControlEntry(CommandWindow* command) : command_(command) {}
    CommandButtonPort* AsCommand() override { return command_ ? this : nullptr; }
    void Initialize() override { command_->Button().Initialize(); }
    void SetEnabled(bool enabled) override { command_->Button().Enabled(enabled); }

  private:
    CommandWindow* command_;
};

constexpr int kNoPicture = -1;

// A control that its surface draws itself: a label, an image or a rectangle.
struct DrawnControl {
    const ControlLayout* layout;
    PixelRect box;        // in the surface's client pixels
    std::string caption;  // UTF-8
    int picture;          // an image's picture: that of Img_Ra(0) or Img_Ra(1), or kNoPicture
};

// The dialog's controls inside its form window, driven by SettingsDialog. The layout, what the
// drawn controls show and which of them a click chooses are the same on every platform; the
// windows, their drawing and their events are each platform's.
class DialogControls : public SettingsDialogView {
  public:
    explicit DialogControls(const ScreenServices& screen) : screen_(screen) {}

    // The form whose window holds the controls; set once, before the form loads.
    void Attach(Form& form) { form_ = &form; }
    // Builds the controls in the loaded form's window, in tab order, which is the order the
    // keyboard visits them in; their events go to dialog.
    void Create(SettingsDialog& dialog);
    // Takes the controls down before the form's window goes.
    void Destroy();

    WindowHandle Handle() const override { return form_->Handle(); }
    double Width() const override { return form_->Width(); }
    double Height() const override { return form_->Height(); }
    void MoveTo(double left, double top) override {
        form_->Move(left, top, form_->Width(), form_->Height());
    }
    std::vector<FormControl*> Controls() override;
    void SetFileButtonEnabled(bool enabled) override;
    void ShowMark(int kind, bool chosen) override;
    void SetFileLabel(const std::string& text) override;

    // A mouse button went down at point of the surface: a mark or its caption chooses its kind.
    void MouseDown(GradientSurface surface, PixelPoint point);
    // What the surface draws over its background, in drawing order.
    const std::vector<DrawnControl>& Drawn(GradientSurface surface) const;

  protected:
    // The form's client area, and the panel Pic_C inside it at panelBox. False when the form's
    // window cannot take them; nothing else is made then.
    virtual bool MakeSurfaces(const PixelRect& panelBox, const Rgb& panelColour) = 0;
    // The size of text in the dialog's font, for the labels that size themselves.
    virtual PixelSize TextSize(const std::string& text) const = 0;
    // BGM_Repeat, the track box.
    virtual void MakeTrackBox(GradientSurface surface, const PixelRect& box) = 0;
    virtual std::unique_ptr<CommandWindow> MakeCommand(GradientSurface surface,
                                                       const PixelRect& box,
                                                       CommandEvents events) = 0;
    // Every control is made.
    virtual void Finish() {}
    // Takes the surfaces and the track box down; the Command buttons are gone already.
    virtual void TakeDown() = 0;
    // A drawn control of the surface changed within box.
    virtual void Redraw(GradientSurface surface, const PixelRect& box) = 0;

    const ScreenServices& screen_;
    Form* form_ = nullptr;

  private:
    PixelRect PixelBox(const ControlLayout& layout) const;
    CommandEvents ClickTo(const std::string& button);

    SettingsDialog* dialog_ = nullptr;
    std::vector<DrawnControl> drawn_[2];  // of the dialog and of the panel
    std::vector<std::unique_ptr<CommandWindow>> commands_;
    CommandWindow* fileButton_ = nullptr;
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
    explicit PreviewPicture(const ScreenServices& screen) : screen_(screen) {}
    virtual ~PreviewPicture() = default;
    // The preview form; set once, before the form loads.
    void Attach(Form& form) { form_ = &form; }
    // 0 while no form is attached or loaded.
    WindowHandle FormHandle() const { return form_ ? form_->Handle() : 0; }
    // Makes the picture a child of the loaded preview form.
    virtual void Create() = 0;
    // Left, top, width and height in twips of the form's client area.
    void Place(double left, double top, double width, double height);

  protected:
    // Where the picture's native widget goes; null while no form is attached or loaded.
    NativeWidget* ControlParent() const { return form_ ? form_->ControlParent() : nullptr; }
    // The picture's place in the form's client pixels.
    virtual void Move(const PixelRect& box) = 0;

  private:
    const ScreenServices& screen_;
    Form* form_ = nullptr;
};

std::unique_ptr<PreviewPicture> MakePreviewPicture(const ScreenServices& screen);

// The preview window's handlers: PreviewWindowEvents with the picture made on load.
FormEvents PreviewFormEvents(PreviewPicture& picture, StartupModule& module,
                             CloseRequests& requests);
