#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "host/controls/command_platform.h"
#include "host/controls/font_desc.h"
#include "host/controls/property_store.h"

// What the form that holds a button hears from it.
struct CommandEvents {
    // Raised on a mouse-button release; runs to its end before the release handling returns,
    // and may destroy the button.
    std::function<void()> Click;
    // A property was changed through its setter, so the form's stored data is out of date.
    std::function<void(std::string_view propertyName)> PropertyChanged;
};

// Mouse button numbers as the mouse handlers receive them.
constexpr int kLeftButton = 1;
constexpr int kRightButton = 2;
constexpr int kMiddleButton = 4;

constexpr int kHoverPollMs = 100;

struct CommandFields {
    bool EnabledFlag = false;
    uint8_t ButtonMode = ModeNone;
    bool MouseHeld = false;
    uint8_t FirstRun = 0;
    bool GradientInverted = false;
};

// The font a newly placed button shows.
FontDesc DefaultCommandFont();

// The gradient push button: its state machine, properties and face painting, over a
// platform's drawing surface and hover probe. Every field starts at zero, as on a new button.
class Command {
  public:
    Command(ButtonSurface& surface, HoverProbe& probe, CommandEvents events);

    // Public members used by the forms.
    void Initialize();
    uint8_t Visible();
    void Visible(uint8_t New_Visible);
    uint32_t FontColour();
    void FontColour(uint32_t New_FontColour);
    bool Enabled();
    void Enabled(bool New_Enabled);
    const std::string& Caption() const { return label_.text; }
    void Caption(std::string New_Caption);
    const FontDesc& Font() const { return label_.font; }
    void Font(const FontDesc& New_Font);

    // Events delivered by the platform. The caption label belongs to the button's window, so
    // mouse events over it arrive here too.
    void UserControl_MouseDown(int Button);
    void UserControl_MouseMove();
    void UserControl_MouseUp(int Button);
    // The system gave the mouse to another window while the button was held down.
    void UserControl_CaptureLost();
    void TmrMouse_Timer();
    void UserControl_GotFocus();
    void UserControl_LostFocus();
    void UserControl_Resize();

    // The button's part of its form's stored design data. ambientFont is the font the form
    // offers its controls, the default of "Font".
    void UserControl_ReadProperties(const PropertyStore& store, const FontDesc& ambientFont);
    void UserControl_WriteProperties(PropertyStore& store, const FontDesc& ambientFont);

    const CommandFields& Fields() const { return fields_; }
    const CaptionLabel& LblMsg() const { return label_; }

  private:
    void LeaveHover();
    void ShowEnabledState();
    void ResetFace();
    void PaintFace(Skin skin);
    void PaintGradient(const SurfaceMetrics& metrics);
    void SetBackStyle(int16_t style);
    void Signal(std::string_view propertyName);

    ButtonSurface& surface_;
    HoverProbe& probe_;
    CommandEvents events_;
    CommandFields fields_;
    CaptionLabel label_;
    int16_t backStyle_ = 1;  // 1 opaque, 0 transparent; what Visible reads and sets
};
