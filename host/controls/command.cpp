#include "host/controls/command.h"

#include <cmath>
#include <limits>
#include <utility>

namespace {

// Defaults of the stored properties. A caption is read back as "Command1" when absent but
// is left out when it is "Command", the caption a newly placed button shows.
constexpr bool kEnabledDefault = true;
constexpr std::string_view kCaptionReadDefault = "Command1";
constexpr std::string_view kCaptionWriteDefault = "Command";
constexpr int64_t kFirstRunDefault = 1;
constexpr int64_t kFontColourDefault = 0;
constexpr int64_t kVisibleDefault = 1;

}  // namespace

PixelRect CaptionBox(const CaptionLabel& label, const SurfaceMetrics& metrics) {
    const auto pixels = [](double twips, double twipsPerPixel) {
        return static_cast<int32_t>(std::lround(twips / twipsPerPixel));
    };
    return SizedRect(pixels(label.leftTwips, metrics.twipsPerPixelX),
                     pixels(label.topTwips, metrics.twipsPerPixelY),
                     pixels(label.widthTwips, metrics.twipsPerPixelX),
                     pixels(kCaptionHeightTwips, metrics.twipsPerPixelY));
}

FontDesc DefaultCommandFont() {
    return FontDesc{"ＭＳ Ｐゴシック", 9.75, false, 128};
}

Command::Command(ButtonSurface& surface, HoverProbe& probe, CommandEvents events)
    : surface_(surface), probe_(probe), events_(std::move(events)) {
    label_.font = DefaultCommandFont();
}

void Command::Initialize() {
    fields_.ButtonMode = ModeNormal;
    probe_.StartPolling(kHoverPollMs);
}

uint8_t Command::Visible() {
    if (backStyle_ == 0) return 0;
    ResetFace();
    return 255;
}

void Command::Visible(uint8_t New_Visible) {
    if (New_Visible != 0) {
        SetBackStyle(1);
        ResetFace();
    } else {
        SetBackStyle(0);
    }
    Signal("Visible");
}

uint32_t Command::FontColour() {
    const uint32_t colour = label_.colour;
    ResetFace();
    return colour;
}

void Command::FontColour(uint32_t New_FontColour) {
    label_.colour = New_FontColour;
    surface_.ShowCaption(label_);
    ResetFace();
    Signal("FontColour");
}

bool Command::Enabled() {
    if (fields_.FirstRun == 0) {
        ResetFace();
        fields_.FirstRun = 1;
        fields_.EnabledFlag = true;
    }
    const bool enabled = fields_.EnabledFlag;
    ShowEnabledState();
    return enabled;
}

void Command::Enabled(bool New_Enabled) {
    fields_.EnabledFlag = New_Enabled;
    Signal("Enabled");
    ShowEnabledState();
}

void Command::Caption(std::string New_Caption) {
    label_.text = std::move(New_Caption);
    surface_.ShowCaption(label_);
    Signal("Caption");
}

void Command::Font(const FontDesc& New_Font) {
    label_.font = New_Font;
    surface_.ShowCaption(label_);
    Signal("Font");
}

void Command::UserControl_MouseDown(int Button) {
    if (!fields_.EnabledFlag || Button != kLeftButton) return;
    fields_.MouseHeld = true;
    PaintFace(Skin::Pressed);
}

void Command::UserControl_MouseMove() {
    if (!fields_.EnabledFlag) return;
    if (fields_.ButtonMode == ModeNormal) {
        fields_.ButtonMode = ModeHighLight;
        PaintFace(Skin::HighLight);
    }
    if (fields_.ButtonMode == ModeSelected && !fields_.MouseHeld) {
        fields_.ButtonMode = ModeHighLightSelect;
        PaintFace(Skin::HighLightSelect);
    }
}

void Command::UserControl_MouseUp(int Button) {
    if (!fields_.EnabledFlag) return;
    if (Button == kLeftButton) {
        fields_.MouseHeld = false;
        if (fields_.ButtonMode == ModeHighLight) {
            PaintFace(Skin::Normal);
        } else if (fields_.ButtonMode == ModeHighLightSelect) {
            PaintFace(Skin::HighLightSelect);
        }
    }
    // Released with the focus but the pointer gone (mode 3): the press was dragged away.
    if (fields_.ButtonMode == ModeSelected || !fields_.EnabledFlag || !events_.Click) return;
    // The handler may destroy this button, events included: call a copy, and touch nothing after.
    const auto click = events_.Click;
    click();
}

// No release will come: the press ends without a click, and the face shows the mode again, so
// that the next press starts afresh.
void Command::UserControl_CaptureLost() {
    if (!fields_.EnabledFlag || !fields_.MouseHeld) return;
    fields_.MouseHeld = false;
    static constexpr Skin kFaceOfMode[] = {Skin::Normal, Skin::Normal, Skin::HighLight,
                                           Skin::Selected, Skin::HighLightSelect};
    PaintFace(fields_.ButtonMode <= ModeHighLightSelect ? kFaceOfMode[fields_.ButtonMode]
                                                        : Skin::Normal);
}

void Command::TmrMouse_Timer() {
    const WindowId under = probe_.WindowUnderCursor();
    const auto parent = probe_.ParentWindow();
    if (!parent || under == *parent || under != probe_.OwnWindow()) LeaveHover();
}

void Command::UserControl_GotFocus() {
    if (!fields_.EnabledFlag) return;
    if (fields_.ButtonMode != ModeHighLight) {
        fields_.ButtonMode = ModeSelected;
        PaintFace(Skin::Selected);
    } else {
        fields_.ButtonMode = ModeHighLightSelect;
        PaintFace(Skin::Pressed);
    }
}

void Command::UserControl_LostFocus() {
    if (!fields_.EnabledFlag || fields_.ButtonMode == ModeNormal) return;
    fields_.ButtonMode = ModeNormal;
    PaintFace(Skin::Normal);
}

void Command::UserControl_Resize() {
    ShowEnabledState();
}

void Command::UserControl_ReadProperties(const PropertyStore& store, const FontDesc& ambientFont) {
    // A value that cannot be read leaves its field as it was.
    if (auto enabled = ReadBoolean(store, "Enabled", kEnabledDefault)) {
        fields_.EnabledFlag = *enabled;
    }
    label_.text = ReadText(store, "Caption", kCaptionReadDefault);
    if (auto font = ReadFont(store, "Font", ambientFont)) label_.font = *font;
    if (auto firstRun = ReadInteger(store, "FirstRun", kFirstRunDefault, 0, 255)) {
        fields_.FirstRun = static_cast<uint8_t>(*firstRun);
    }
    // Colours are 32-bit; stored either as the signed or the unsigned reading of the bits.
    if (auto colour = ReadInteger(store, "FontColour", kFontColourDefault,
                                  std::numeric_limits<int32_t>::min(),
                                  std::numeric_limits<uint32_t>::max())) {
        label_.colour = static_cast<uint32_t>(*colour);
    }
    if (auto style = ReadInteger(store, "Visible", kVisibleDefault, 0, 1)) {
        SetBackStyle(static_cast<int16_t>(*style));
    }
    surface_.ShowCaption(label_);
    ResetFace();
}

void Command::UserControl_WriteProperties(PropertyStore& store, const FontDesc& ambientFont) {
    WriteBoolean(store, "Enabled", fields_.EnabledFlag, kEnabledDefault);
    WriteText(store, "Caption", label_.text, kCaptionWriteDefault);
    WriteInteger(store, "FirstRun", fields_.FirstRun, kFirstRunDefault);
    WriteFont(store, "Font", label_.font, ambientFont);
    WriteInteger(store, "FontColour", label_.colour, kFontColourDefault);
    WriteInteger(store, "Visible", backStyle_, kVisibleDefault);
    ResetFace();
}

void Command::LeaveHover() {
    if (!fields_.EnabledFlag) return;
    if (fields_.ButtonMode == ModeHighLight) {
        fields_.ButtonMode = ModeNormal;
        PaintFace(Skin::Normal);
    }
    if (fields_.ButtonMode == ModeHighLightSelect) {
        fields_.ButtonMode = ModeSelected;
        PaintFace(Skin::Selected);
    }
}

void Command::ShowEnabledState() {
    label_.enabled = fields_.EnabledFlag;
    PaintFace(fields_.EnabledFlag ? Skin::Normal : Skin::Disable);
}

void Command::ResetFace() {
    if (!fields_.EnabledFlag) return;
    label_.enabled = true;
    if (fields_.FirstRun == 0) label_.colour = 0;
    PaintFace(Skin::Normal);
}

void Command::PaintFace(Skin skin) {
    fields_.GradientInverted = GradientInvertedFor(fields_.ButtonMode, fields_.GradientInverted);
    const SurfaceMetrics metrics = surface_.Metrics();

    surface_.Clear();
    PaintGradient(metrics);
    for (const FramePiece& piece : FramePieces(metrics.outerWidthPx, metrics.outerHeightPx)) {
        if (piece.destination.Width() > 0 && piece.destination.Height() > 0) {
            surface_.CopySkin(skin, piece.source, piece.destination);
        }
    }
    surface_.Refresh();

    label_.topTwips = CaptionTopTwips(metrics.outerHeightPx * metrics.twipsPerPixelY);
    label_.leftTwips = 0.0;
    label_.widthTwips = metrics.outerWidthPx * metrics.twipsPerPixelX;
    surface_.ShowCaption(label_);
}

void Command::PaintGradient(const SurfaceMetrics& metrics) {
    surface_.FillGradient(
        GradientVertices(metrics.innerWidthPx, metrics.innerHeightPx, fields_.GradientInverted));
    surface_.Refresh();
}

void Command::SetBackStyle(int16_t style) {
    backStyle_ = style;
    surface_.SetOpaque(style != 0);
}

void Command::Signal(std::string_view propertyName) {
    if (events_.PropertyChanged) events_.PropertyChanged(propertyName);
}
