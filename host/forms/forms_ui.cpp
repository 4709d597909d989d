#include "host/forms/forms_ui.h"

#include <optional>

#include "host/forms/dialog_design.h"

namespace {

size_t SurfaceIndex(GradientSurface surface) {
    return surface == GradientSurface::Dialog ? 0 : 1;
}

GradientSurface SurfaceOf(const ControlLayout& layout) {
    return layout.container == Container::Panel ? GradientSurface::Panel : GradientSurface::Dialog;
}

bool IsNamed(const ControlLayout& layout, const std::string& name) {
    return name == layout.name;
}

// Picture boxes are surfaces; the track box and the buttons have windows of their own.
bool IsDrawn(const ControlLayout& layout) {
    return layout.kind != ControlKind::PictureBox && layout.kind != ControlKind::ComboBox &&
           layout.kind != ControlKind::Command;
}

}  // namespace

void DialogControls::Create(SettingsDialog& dialog) {
    dialog_ = &dialog;
    const ControlLayout* panel = FindDialogControl("Pic_C", 0);
    if (!MakeSurfaces(PixelBox(*panel), panel->backColour)) return;

    for (const ControlLayout& layout : kSettingsDialogControls) {
        if (!IsDrawn(layout)) continue;
        DrawnControl control{&layout, PixelBox(layout), layout.caption, kNoPicture};
        if (IsNamed(layout, "Img_Ra")) control.picture = layout.index;
        if (layout.kind == ControlKind::Label && (layout.style & kAutoSize)) {
            const PixelSize size = TextSize(control.caption);
            control.box = SizedRect(control.box.left, control.box.top, size.width, size.height);
        }
        drawn_[SurfaceIndex(SurfaceOf(layout))].push_back(control);
    }

    std::vector<CommandWindow*> commandOf(kSettingsDialogControls.size(), nullptr);
    const std::optional<FormDesign> design = SettingsDialogDesign();
    for (const ControlLayout* layout : DialogTabOrder()) {
        const PixelRect box = PixelBox(*layout);
        if (layout->kind == ControlKind::ComboBox) {
            MakeTrackBox(SurfaceOf(*layout), box);
            continue;
        }
        std::unique_ptr<CommandWindow> command =
            MakeCommand(SurfaceOf(*layout), box, ClickTo(layout->name));
        if (!command) continue;
        const ControlDesign* stored = design ? FindControl(*design, layout->name) : nullptr;
        if (stored) {
            command->Button().UserControl_ReadProperties(stored->properties, DialogAmbientFont());
        }
        command->Move(box);
        if (IsNamed(*layout, "Cmd_BGM")) fileButton_ = command.get();
        commandOf[static_cast<size_t>(layout - kSettingsDialogControls.data())] = command.get();
        commands_.push_back(std::move(command));
    }
    for (CommandWindow* command : commandOf) entries_.emplace_back(command);
    Finish();
}

void DialogControls::Destroy() {
    entries_.clear();
    fileButton_ = nullptr;
    commands_.clear();
    for (std::vector<DrawnControl>& drawn : drawn_) drawn.clear();
    TakeDown();
}

std::vector<FormControl*> DialogControls::Controls() {
    std::vector<FormControl*> controls;
    for (DialogControlEntry& entry : entries_) controls.push_back(&entry);
    return controls;
}

void DialogControls::SetFileButtonEnabled(bool enabled) {
    if (fileButton_) fileButton_->Button().Enabled(enabled);
}

void DialogControls::ShowMark(int kind, bool chosen) {
    for (DrawnControl& control : drawn_[SurfaceIndex(GradientSurface::Panel)]) {
        if (control.layout->kind == ControlKind::Image && control.layout->index == kind &&
            IsNamed(*control.layout, "Img_BGM")) {
            control.picture = chosen ? 1 : 0;
            Redraw(GradientSurface::Panel, control.box);
        }
    }
}

void DialogControls::SetFileLabel(const std::string& text) {
    for (DrawnControl& control : drawn_[SurfaceIndex(GradientSurface::Panel)]) {
        if (IsNamed(*control.layout, "lbl_Fname")) {
            control.caption = text;
            Redraw(GradientSurface::Panel, control.box);
        }
    }
}

void DialogControls::MouseDown(GradientSurface surface, PixelPoint point) {
    for (const DrawnControl& control : drawn_[SurfaceIndex(surface)]) {
        const bool kindChoice =
            IsNamed(*control.layout, "Img_BGM") || IsNamed(*control.layout, "lbl_BGM");
        if (kindChoice && control.box.Contains(point.x, point.y)) {
            dialog_->ChooseKind(control.layout->index);
            return;
        }
    }
}

const std::vector<DrawnControl>& DialogControls::Drawn(GradientSurface surface) const {
    return drawn_[SurfaceIndex(surface)];
}

PixelRect DialogControls::PixelBox(const ControlLayout& layout) const {
    const double x = screen_.TwipsPerPixelX();
    const double y = screen_.TwipsPerPixelY();
    return SizedRect(TwipsToPixels(layout.left, x), TwipsToPixels(layout.top, y),
                     TwipsToPixels(layout.width, x), TwipsToPixels(layout.height, y));
}

CommandEvents DialogControls::ClickTo(const std::string& button) {
    CommandEvents events;
    events.Click = [this, button] {
        if (button == "Cmd_BGM") dialog_->Cmd_BGM_Click();
        if (button == "Cmd_Set") dialog_->Cmd_Set_Click();
        if (button == "Cmd_Can") dialog_->Cmd_Can_Click();
        if (button == "Cmd_Etc") dialog_->Cmd_Etc_Click();
    };
    return events;
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

void PreviewPicture::Place(double left, double top, double width, double height) {
    const double x = screen_.TwipsPerPixelX();
    const double y = screen_.TwipsPerPixelY();
    Move(SizedRect(TwipsToPixels(left, x), TwipsToPixels(top, y), TwipsToPixels(width, x),
                   TwipsToPixels(height, y)));
}

FormEvents PreviewFormEvents(PreviewPicture& picture, StartupModule& module,
                             CloseRequests& requests) {
    FormEvents events =
        PreviewWindowEvents(module, requests, [&picture] { return picture.FormHandle(); });
    events.load = [&picture] { picture.Create(); };
    return events;
}
