#include "host/forms/form_layout.h"

#include <algorithm>

#include "host/startup/startup.h"

FormLook SettingsDialogLook() {
    FormLook look;
    look.caption = kSettingsDialogTitle;
    look.border = FormBorder::FixedSingle;
    look.backColour = ColourRef(Rgb{0xC0, 0xC0, 0xC0});
    look.clientWidth = 7185;
    look.clientHeight = 3780;
    return look;
}

const FontLayout kDialogFont{"ＭＳ Ｐゴシック", 9.75, 400, 128};

FormLook PreviewWindowLook() {
    FormLook look;
    look.caption = "Preview Window";
    look.border = FormBorder::Borderless;
    look.backColour = ColourRef(kBlack);
    look.clientWidth = 2595;
    look.clientHeight = 1935;
    return look;
}

const ControlLayout kPreviewImage{
    "Img_Prev", kNoIndex, ControlKind::Image, Container::Form, 0,      0,     2280,
    1680,       "",       kNoTabStop,         kPlain,          kBlack, kBlack};

const char* const kOtherWorksAddress = "https://lumen-ribbon.example.org/works/";

const ControlLayout* FindDialogControl(const std::string& name, int index) {
    for (const ControlLayout& control : kSettingsDialogControls) {
        if (name == control.name && index == control.index) return &control;
    }
    return nullptr;
}

std::vector<const ControlLayout*> DialogTabOrder() {
    std::vector<const ControlLayout*> order;
    for (const ControlLayout& control : kSettingsDialogControls) {
        if (control.tabIndex != kNoTabStop) order.push_back(&control);
    }
    std::sort(order.begin(), order.end(), [](const ControlLayout* a, const ControlLayout* b) {
        return a->tabIndex < b->tabIndex;
    });
    return order;
}
