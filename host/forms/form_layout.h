#pragma once
// Design-time layout of the settings dialog Lumen_Ribbon_P and the preview
// window Lumen_Ribbon_R: form looks, controls, captions and tab order.
// Positions are twips relative to the container; texts are UTF-8 and are
// converted to the ANSI code page by the window layer.

#include <array>
#include <string>
#include <vector>

#include "host/forms/colour.h"
#include "host/runtime/form.h"

struct FontLayout {
    const char* name;
    double points;
    int weight;   // 400 is normal
    int charset;  // 128 is Shift-JIS
};

enum class ControlKind { PictureBox, Rectangle, Label, Image, ComboBox, Command };

// Panel is the picture box Pic_C(0); its children are positioned inside it.
enum class Container { Form, Panel };

constexpr int kNoIndex = -1;    // the control is not part of a control array
constexpr int kNoTabStop = -1;  // the control never takes the keyboard focus

// Label styles; labels are always drawn with a transparent background.
enum ControlStyle : unsigned {
    kPlain = 0,
    kCentred = 1u << 0,
    kAutoSize = 1u << 1,  // the label sizes itself to its caption
    kSingleBorder = 1u << 2,
};

// Wording of the credit label lbl(7).
inline constexpr const char* kCreditText = "Lumen_Ribbon Screen Saver";

struct ControlLayout {
    const char* name;
    int index;
    ControlKind kind;
    Container container;
    int left;
    int top;
    int width;
    int height;
    const char* caption;  // empty when the control has none
    int tabIndex;         // place in the tab order, or kNoTabStop
    unsigned style;       // ControlStyle bits
    Rgb foreColour;       // text colour
    Rgb backColour;       // background of picture boxes
};

// The settings dialog Lumen_Ribbon_P: fixed single border, 7185 x 3780 twips of
// client area, captioned with the title that marks an open dialog. It has the
// window icon; its background is painted over by the gradient.
FormLook SettingsDialogLook();
extern const FontLayout kDialogFont;

constexpr Rgb kBlack{0, 0, 0};
constexpr Rgb kWhite{255, 255, 255};
constexpr Rgb kPanelGrey{0xE0, 0xE0, 0xE0};

// In the order of creation; the panel comes before its children.
inline constexpr std::array<ControlLayout, 19> kSettingsDialogControls{{
    {"Pic_C", 0, ControlKind::PictureBox, Container::Form, 180, 240, 6795, 2535, "", kNoTabStop,
     kPlain, kBlack, kPanelGrey},
    {"Shape3", 3, ControlKind::Rectangle, Container::Panel, 300, 300, 1695, 315, "", kNoTabStop,
     kPlain, kBlack, kBlack},
    {"lbl", 15, ControlKind::Label, Container::Panel, 300, 360, 1665, 195, "BGM", kNoTabStop,
     kCentred, kBlack, kBlack},
    {"Img_BGM", 1, ControlKind::Image, Container::Panel, 300, 840, 195, 195, "", kNoTabStop, kPlain,
     kBlack, kBlack},
    {"lbl_BGM", 1, ControlKind::Label, Container::Panel, 540, 840, 645, 195, "音楽CD", kNoTabStop,
     kAutoSize, kBlack, kBlack},
    {"BGM_Repeat", kNoIndex, ControlKind::ComboBox, Container::Panel, 1380, 780, 615, 300, "", 0,
     kPlain, kBlack, kWhite},
    {"lbl", 14, ControlKind::Label, Container::Panel, 2040, 840, 990, 195, "曲目をﾘﾋﾟｰﾄ",
     kNoTabStop, kAutoSize, kBlack, kBlack},
    {"Img_BGM", 0, ControlKind::Image, Container::Panel, 300, 1140, 195, 195, "", kNoTabStop,
     kPlain, kBlack, kBlack},
    {"lbl_BGM", 0, ControlKind::Label, Container::Panel, 540, 1140, 345, 195, "無し", kNoTabStop,
     kAutoSize, kBlack, kBlack},
    {"Img_BGM", 2, ControlKind::Image, Container::Panel, 300, 1440, 195, 195, "", kNoTabStop,
     kPlain, kBlack, kBlack},
    {"lbl_BGM", 2, ControlKind::Label, Container::Panel, 540, 1440, 900, 195, "MP3、WAV",
     kNoTabStop, kAutoSize, kBlack, kBlack},
    {"Cmd_BGM", kNoIndex, ControlKind::Command, Container::Panel, 540, 1740, 435, 315, "...", 1,
     kPlain, kBlack, kBlack},
    {"lbl_Fname", kNoIndex, ControlKind::Label, Container::Panel, 1020, 1740, 5355, 435, "",
     kNoTabStop, kSingleBorder, kBlack, kBlack},
    {"Cmd_Etc", kNoIndex, ControlKind::Command, Container::Form, 2880, 3000, 1875, 375,
     "その他の作品", 4, kPlain, kBlack, kBlack},
    {"Cmd_Set", kNoIndex, ControlKind::Command, Container::Form, 4800, 3000, 1095, 375, "設定", 2,
     kPlain, kBlack, kBlack},
    {"Cmd_Can", kNoIndex, ControlKind::Command, Container::Form, 5940, 3000, 1035, 375, "ｷｬﾝｾﾙ", 3,
     kPlain, kBlack, kBlack},
    {"lbl", 7, ControlKind::Label, Container::Form, 180, 2940, 2475, 195, kCreditText, kNoTabStop,
     kAutoSize, kWhite, kBlack},
    {"Img_Ra", 0, ControlKind::Image, Container::Form, 8040, 300, 180, 180, "", kNoTabStop, kPlain,
     kBlack, kBlack},
    {"Img_Ra", 1, ControlKind::Image, Container::Form, 8040, 600, 180, 180, "", kNoTabStop, kPlain,
     kBlack, kBlack},
}};

// The preview window Lumen_Ribbon_R: borderless and black, without an icon. Its
// layout size is replaced by the pane's at run time.
FormLook PreviewWindowLook();
// Img_Prev, the window's one picture, drawn unscaled from its top-left corner.
extern const ControlLayout kPreviewImage;

// The page opened by Cmd_Etc.
extern const char* const kOtherWorksAddress;

// The control with this name and array index, or null.
const ControlLayout* FindDialogControl(const std::string& name, int index = kNoIndex);

// The dialog's controls that take the keyboard focus, in tab order.
std::vector<const ControlLayout*> DialogTabOrder();
