#include "host/forms/dialog_design.h"

#include "host/forms/form_layout.h"

namespace {

// The four buttons keep only their captions and fonts; everything else is at
// its default.
constexpr const char kDesignText[] = R"(; Lumen_Ribbon_P
[Cmd_BGM]
Caption = ...
Font = ＭＳ Ｐゴシック,9.75,normal,128

[Cmd_Etc]
Caption = その他の作品
Font = ＭＳ Ｐゴシック,9.75,normal,128

[Cmd_Set]
Caption = 設定
Font = ＭＳ Ｐゴシック,9.75,normal,128

[Cmd_Can]
Caption = ｷｬﾝｾﾙ
Font = ＭＳ Ｐゴシック,9.75,normal,128
)";

}  // namespace

FontDesc DialogAmbientFont() {
    return FontDesc{kDialogFont.name, kDialogFont.points, kDialogFont.weight >= 700,
                    kDialogFont.charset};
}

std::optional<FormDesign> SettingsDialogDesign() {
    return ParseFormDesign(kDesignText);
}
