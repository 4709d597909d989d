#include <gtest/gtest.h>

#include <string>

#include "host/controls/property_store.h"
#include "host/forms/dialog_design.h"
#include "host/forms/form_layout.h"

namespace {

TEST(FormsDesign, EveryButtonStoresItsLayoutCaptionAndTheDialogFont) {
    const std::optional<FormDesign> design = SettingsDialogDesign();
    ASSERT_TRUE(design.has_value());
    int buttons = 0;
    for (const ControlLayout& layout : kSettingsDialogControls) {
        const ControlDesign* stored = FindControl(*design, layout.name);
        if (layout.kind != ControlKind::Command) {
            EXPECT_EQ(stored, nullptr) << layout.name;
            continue;
        }
        ++buttons;
        ASSERT_NE(stored, nullptr) << layout.name;
        // Read with fallbacks that differ from the stored values, so a missing key shows.
        EXPECT_EQ(ReadText(stored->properties, "Caption", "<none>"), layout.caption);
        const FontDesc other{"Arial", 8.0, true, 0};
        EXPECT_EQ(ReadFont(stored->properties, "Font", other), DialogAmbientFont()) << layout.name;
    }
    EXPECT_EQ(buttons, 4);
    EXPECT_EQ(design->controls.size(), 4u);
}

TEST(FormsDesign, AmbientFontIsTheDialogFont) {
    const FontDesc font = DialogAmbientFont();
    EXPECT_EQ(font.face, "ＭＳ Ｐゴシック");
    EXPECT_DOUBLE_EQ(font.sizePoints, 9.75);
    EXPECT_FALSE(font.bold);
    EXPECT_EQ(font.charset, 128);
}

}  // namespace
