#include <gtest/gtest.h>

#include <set>
#include <string>
#include <utility>

#include "host/forms/form_layout.h"

namespace {

TEST(FormsLayout, DialogFormKeepsTheTitleThatMarksARunningDialog) {
    const FormLook look = SettingsDialogLook();
    EXPECT_EQ(look.caption, "<Lumen_Ribbon>");
    EXPECT_EQ(look.border, FormBorder::FixedSingle);
    EXPECT_EQ(look.clientWidth, 7185);
    EXPECT_EQ(look.clientHeight, 3780);
    EXPECT_EQ(look.backColour, 0xC0C0C0u);
    // The font name must be the full-width Japanese face, byte for byte.
    EXPECT_EQ(
        std::string(kDialogFont.name),
        "\xEF\xBC\xAD\xEF\xBC\xB3 \xEF\xBC\xB0\xE3\x82\xB4\xE3\x82\xB7\xE3\x83\x83\xE3\x82\xAF");
    EXPECT_DOUBLE_EQ(kDialogFont.points, 9.75);
    EXPECT_EQ(kDialogFont.charset, 128);
}

TEST(FormsLayout, EveryControlIsUniqueAndFound) {
    std::set<std::pair<std::string, int>> seen;
    for (const ControlLayout& control : kSettingsDialogControls) {
        EXPECT_TRUE(seen.insert({control.name, control.index}).second)
            << control.name << "(" << control.index << ") twice";
        EXPECT_EQ(FindDialogControl(control.name, control.index), &control);
    }
    EXPECT_EQ(FindDialogControl("Img_BGM"), nullptr) << "an array member needs its index";
    EXPECT_EQ(FindDialogControl("Img_BGM", 3), nullptr);
    EXPECT_EQ(FindDialogControl("Nothing"), nullptr);
}

TEST(FormsLayout, CaptionsAreTheJapaneseTextsInUtf8) {
    struct Expected {
        const char* name;
        int index;
        const char* caption;
    };
    // Written as bytes so that a wrongly encoded or full-width/half-width swapped
    // caption in the table cannot match by accident.
    const Expected expected[] = {
        {"lbl_BGM", 1,
         "\xE9\x9F\xB3\xE6\xA5\xBD"
         "CD"},
        {"lbl_BGM", 0, "\xE7\x84\xA1\xE3\x81\x97"},
        {"lbl_BGM", 2, "MP3\xE3\x80\x81WAV"},
        {"lbl", 14,
         "\xE6\x9B\xB2\xE7\x9B\xAE\xE3\x82\x92\xEF\xBE\x98\xEF\xBE\x8B\xEF\xBE\x9F"
         "\xEF\xBD\xB0\xEF\xBE\x84"},
        {"lbl", 15, "BGM"},
        {"Cmd_BGM", kNoIndex, "..."},
        {"Cmd_Etc", kNoIndex,
         "\xE3\x81\x9D\xE3\x81\xAE\xE4\xBB\x96\xE3\x81\xAE\xE4\xBD\x9C"
         "\xE5\x93\x81"},
        {"Cmd_Set", kNoIndex, "\xE8\xA8\xAD\xE5\xAE\x9A"},
        {"Cmd_Can", kNoIndex, "\xEF\xBD\xB7\xEF\xBD\xAC\xEF\xBE\x9D\xEF\xBD\xBE\xEF\xBE\x99"},
    };
    for (const Expected& e : expected) {
        const ControlLayout* control = FindDialogControl(e.name, e.index);
        ASSERT_NE(control, nullptr) << e.name;
        EXPECT_EQ(std::string(control->caption), e.caption) << e.name << "(" << e.index << ")";
    }
}

TEST(FormsLayout, PanelChildrenFitInsideThePanelAndTheMarkStoreLiesOutside) {
    const ControlLayout* panel = FindDialogControl("Pic_C", 0);
    ASSERT_NE(panel, nullptr);
    EXPECT_EQ(panel->container, Container::Form);
    for (const ControlLayout& control : kSettingsDialogControls) {
        if (control.container == Container::Panel) {
            EXPECT_LE(control.left + control.width, panel->width) << control.name;
            EXPECT_LE(control.top + control.height, panel->height) << control.name;
        }
    }
    for (int index : {0, 1}) {
        const ControlLayout* store = FindDialogControl("Img_Ra", index);
        ASSERT_NE(store, nullptr);
        EXPECT_GT(store->left, SettingsDialogLook().clientWidth) << "Img_Ra must never be seen";
    }
    const ControlLayout* repeat = FindDialogControl("BGM_Repeat");
    ASSERT_NE(repeat, nullptr);
    EXPECT_EQ(repeat->kind, ControlKind::ComboBox);
    EXPECT_EQ(repeat->container, Container::Panel);
    EXPECT_EQ(repeat->left, 1380);
    EXPECT_EQ(repeat->top, 780);
}

TEST(FormsLayout, TabOrderRunsFromTheTrackBoxToTheOtherWorksButton) {
    std::string order;
    for (const ControlLayout* control : DialogTabOrder()) order += std::string(control->name) + " ";
    EXPECT_EQ(order, "BGM_Repeat Cmd_BGM Cmd_Set Cmd_Can Cmd_Etc ");
}

TEST(FormsLayout, KindCaptionsAreHitTargetsBesideTheirMarks) {
    // The kind is chosen by a mouse press on the mark or its caption: each pair shares a row.
    for (int kind = 0; kind < 3; ++kind) {
        const ControlLayout* mark = FindDialogControl("Img_BGM", kind);
        const ControlLayout* caption = FindDialogControl("lbl_BGM", kind);
        ASSERT_NE(mark, nullptr);
        ASSERT_NE(caption, nullptr);
        EXPECT_EQ(mark->top, caption->top);
        EXPECT_LT(mark->left + mark->width, caption->left);
    }
}

TEST(FormsLayout, PreviewWindowIsBorderlessBlackWithTheFullSizePicture) {
    const FormLook look = PreviewWindowLook();
    EXPECT_EQ(look.caption, "Preview Window");
    EXPECT_EQ(look.border, FormBorder::Borderless);
    EXPECT_EQ(look.backColour, 0u);
    EXPECT_STREQ(kPreviewImage.name, "Img_Prev");
    EXPECT_EQ(kPreviewImage.left, 0);
    EXPECT_EQ(kPreviewImage.top, 0);
    // 152 x 112 pixels at 15 twips per pixel.
    EXPECT_EQ(kPreviewImage.width, 152 * 15);
    EXPECT_EQ(kPreviewImage.height, 112 * 15);
}

}  // namespace
