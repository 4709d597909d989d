#include <gtest/gtest.h>

#include <iterator>
#include <string>

#include "host/controls/form_design.h"
#include "host/controls/property_store.h"

namespace {

TEST(ControlsPropertyStore, KeysMatchWithoutRegardToCaseAndKeepTheirOrder) {
    PropertyStore store;
    store.Set("Caption", "a");
    store.Set("Left", "1");
    store.Set("CAPTION", "b");
    ASSERT_EQ(store.Entries().size(), 2u);
    EXPECT_EQ(store.Entries()[0].first, "CAPTION");
    EXPECT_EQ(store.Entries()[0].second, "b");
    EXPECT_EQ(store.Find("caption"), "b");
    EXPECT_FALSE(store.Find("Captio").has_value());

    store.Remove("left");
    EXPECT_EQ(store.Entries().size(), 1u);
    EXPECT_FALSE(store.Find("Left").has_value());
}

TEST(ControlsPropertyStore, TypedReadsGiveTheFallbackOnlyForAbsentKeys) {
    PropertyStore store;
    EXPECT_EQ(ReadBoolean(store, "B", true), true);
    EXPECT_EQ(ReadInteger(store, "N", 7, 0, 10), 7);
    EXPECT_EQ(ReadText(store, "T", "fallback"), "fallback");

    store.Set("T", "");
    EXPECT_EQ(ReadText(store, "T", "fallback"), "");
    store.Set("N", "");
    EXPECT_FALSE(ReadInteger(store, "N", 7, 0, 10).has_value());
}

TEST(ControlsPropertyStore, BooleansReadWordsAndNumbers) {
    const struct {
        const char* text;
        std::optional<bool> value;
    } cases[] = {{"True", true},        {"false", false},   {"-1", true},
                 {"0", false},          {" 1 ", true},      {"&H0", false},
                 {"yes", std::nullopt}, {"", std::nullopt}, {"1x", std::nullopt}};
    for (const auto& c : cases) {
        PropertyStore store;
        store.Set("Enabled", c.text);
        EXPECT_EQ(ReadBoolean(store, "Enabled", true), c.value) << "\"" << c.text << "\"";
    }
}

TEST(ControlsPropertyStore, WholeNumbersReadDecimalAndHexWithinTheirRange) {
    const struct {
        const char* text;
        std::optional<int64_t> value;
    } cases[] = {{"255", 255},
                 {"+12", 12},
                 {"-2147483648", -2147483648LL},
                 {"&HFF", 255},
                 {"&h80000012&", 0x80000012LL},
                 {"&HFFFFFFFF", 0xFFFFFFFFLL},
                 {"&H100000000", std::nullopt},
                 {"&H", std::nullopt},
                 {"&HG1", std::nullopt},
                 {"4294967296", std::nullopt},
                 {"12.5", std::nullopt},
                 {"-", std::nullopt},
                 {"9999999999999999999999", std::nullopt}};
    for (const auto& c : cases) {
        PropertyStore store;
        store.Set("N", c.text);
        EXPECT_EQ(ReadInteger(store, "N", 0, -2147483648LL, 4294967295LL), c.value)
            << "\"" << c.text << "\"";
    }
    PropertyStore store;
    store.Set("FirstRun", "256");
    EXPECT_FALSE(ReadInteger(store, "FirstRun", 1, 0, 255).has_value());
    store.Set("FirstRun", "-1");
    EXPECT_FALSE(ReadInteger(store, "FirstRun", 1, 0, 255).has_value());
}

TEST(ControlsPropertyStore, WritesLeaveOutAndRemoveValuesEqualToTheirDefaults) {
    PropertyStore store;
    WriteBoolean(store, "Enabled", true, true);
    WriteInteger(store, "FirstRun", 1, 1);
    WriteText(store, "Caption", "Command", "Command");
    WriteFont(store, "Font", FontDesc{"A", 9, false, 0}, FontDesc{"A", 9, false, 0});
    EXPECT_TRUE(store.Entries().empty());

    WriteBoolean(store, "Enabled", false, true);
    WriteInteger(store, "FontColour", 255, 0);
    WriteText(store, "Caption", "OK", "Command");
    EXPECT_EQ(store.Find("Enabled"), "0");
    EXPECT_EQ(store.Find("FontColour"), "255");
    EXPECT_EQ(store.Find("Caption"), "OK");

    WriteBoolean(store, "enabled", true, true);
    WriteInteger(store, "FONTCOLOUR", 0, 0);
    EXPECT_EQ(store.Entries().size(), 1u);
    EXPECT_EQ(ReadBoolean(store, "Enabled", false), false) << "removed key reads the fallback";
}

TEST(ControlsFont, TextFormRoundTrips) {
    const FontDesc fonts[] = {{"ＭＳ Ｐゴシック", 9.75, false, 128},
                              {"Arial", 12.0, true, 0},
                              {"Odd, Name", 0.5, false, 255},
                              {"Tiny", 8.0625, true, 1}};
    for (const FontDesc& font : fonts) {
        const auto parsed = ParseFont(FormatFont(font));
        ASSERT_TRUE(parsed.has_value()) << FormatFont(font);
        EXPECT_EQ(*parsed, font) << FormatFont(font);
        EXPECT_EQ(parsed->face, font.face);
    }
    EXPECT_EQ(FormatFont({"Arial", 12.0, true, 0}), "Arial,12,bold,0");
    EXPECT_EQ(FormatFont({"ＭＳ Ｐゴシック", 9.75, false, 128}), "ＭＳ Ｐゴシック,9.75,normal,128");
}

TEST(ControlsFont, ParsingToleratesBlanksAndRejectsBadFields) {
    const auto font = ParseFont("  Arial , 9.75 , BOLD , 128 ");
    ASSERT_TRUE(font.has_value());
    EXPECT_EQ(*font, (FontDesc{"Arial", 9.75, true, 128}));

    for (const char* text :
         {"", "Arial", "Arial,9,normal", ",9,normal,0", "Arial,,normal,0", "Arial,0,normal,0",
          "Arial,-9,normal,0", "Arial,9.7.5,normal,0", "Arial,5000,normal,0", "Arial,9,heavy,0",
          "Arial,9,normal,256", "Arial,9,normal,x"}) {
        EXPECT_FALSE(ParseFont(text).has_value()) << "\"" << text << "\"";
    }
}

TEST(ControlsFont, EqualityIgnoresSizeNoiseBelowTheStoredPrecision) {
    EXPECT_EQ((FontDesc{"A", 9.75, false, 0}), (FontDesc{"A", 9.750000001, false, 0}));
    EXPECT_NE((FontDesc{"A", 9.75, false, 0}), (FontDesc{"A", 9.76, false, 0}));
    EXPECT_NE((FontDesc{"A", 9.75, false, 0}), (FontDesc{"a", 9.75, false, 0}));
    EXPECT_NE((FontDesc{"A", 9.75, false, 0}), (FontDesc{"A", 9.75, true, 0}));
    EXPECT_NE((FontDesc{"A", 9.75, false, 0}), (FontDesc{"A", 9.75, false, 128}));
}

TEST(ControlsFormDesign, ParsesSectionsCommentsAndQuotedValues) {
    const std::string text =
        "\xEF\xBB\xBF; design data\r\n"
        "[Cmd_Set]\r\n"
        "Caption = 設定\r\n"
        "  Left=4800  \r\n"
        "\r\n"
        "# another comment\n"
        "[ Cmd_BGM ]\n"
        "Caption = \"  ...\\n2nd line \\\"q\\\" \\\\ \\t\"\n"
        "Path = C:\\Music\\a \"b\".mp3\n"
        "Empty =\n"
        "Sum = a=b";
    DesignError error;
    const auto design = ParseFormDesign(text, &error);
    ASSERT_TRUE(design.has_value()) << error.line << ": " << error.message;
    ASSERT_EQ(design->controls.size(), 2u);

    const ControlDesign* set = FindControl(*design, "cmd_set");
    ASSERT_NE(set, nullptr);
    EXPECT_EQ(set->properties.Find("Caption"), "設定");
    EXPECT_EQ(set->properties.Find("left"), "4800");

    const ControlDesign* bgm = FindControl(*design, "Cmd_BGM");
    ASSERT_NE(bgm, nullptr);
    EXPECT_EQ(bgm->properties.Find("Caption"), "  ...\n2nd line \"q\" \\ \t");
    EXPECT_EQ(bgm->properties.Find("Path"), "C:\\Music\\a \"b\".mp3");
    EXPECT_EQ(bgm->properties.Find("Empty"), "");
    EXPECT_EQ(bgm->properties.Find("Sum"), "a=b");
    EXPECT_EQ(FindControl(*design, "Cmd_Can"), nullptr);
}

TEST(ControlsFormDesign, ReportsTheLineOfAMistake) {
    const struct {
        const char* text;
        int line;
    } cases[] = {
        {"Caption = x\n", 1},
        {"[A]\nCaption\n", 2},
        {"[A]\n= x\n", 2},
        {"[A]\nCaption = x\ncaption = y\n", 3},
        {"[A]\n[a]\n", 2},
        {"[A\n", 1},
        {"[ ]\n", 1},
        {"[A]\n\nCaption = \"open\n", 3},
        {"[A]\nCaption = \"bad \\q escape\"\n", 2},
        {"[A]\nCaption = \"closed\" trailing\n", 2},
        {"[A]\nCaption = \"ends in backslash\\\n", 2},
    };
    for (const auto& c : cases) {
        DesignError error;
        EXPECT_FALSE(ParseFormDesign(c.text, &error).has_value()) << c.text;
        EXPECT_EQ(error.line, c.line) << c.text;
        EXPECT_FALSE(error.message.empty()) << c.text;
    }
}

TEST(ControlsFormDesign, WrittenTextReadsBackTheSameValues) {
    FormDesign design;
    PropertyStore set;
    set.Set("Caption", "設定");
    set.Set("Font", "ＭＳ Ｐゴシック,9.75,normal,128");
    PropertyStore odd;
    const std::string awkward[] = {" lead",     "trail ",      "\"quoted\"", "two\r\nlines",
                                   "tab\there", "back\\slash", "",           "mid \"quote\""};
    for (size_t i = 0; i < std::size(awkward); ++i) odd.Set("V" + std::to_string(i), awkward[i]);
    ControlEntry(design, "Cmd_Set").properties = set;
    ControlEntry(design, "lbl_BGM(1)").properties = odd;
    ControlEntry(design, "CMD_SET");
    EXPECT_EQ(design.controls.size(), 2u) << "an existing control gets no second entry";

    const auto text = FormatFormDesign(design);
    ASSERT_TRUE(text.has_value());
    EXPECT_NE(text->find("[Cmd_Set]\nCaption = 設定\n"), std::string::npos) << *text;

    DesignError error;
    const auto reread = ParseFormDesign(*text, &error);
    ASSERT_TRUE(reread.has_value()) << error.line << ": " << error.message << "\n" << *text;
    ASSERT_EQ(reread->controls.size(), 2u);
    EXPECT_EQ(reread->controls[0].properties.Entries(), set.Entries());
    EXPECT_EQ(reread->controls[1].name, "lbl_BGM(1)");
    EXPECT_EQ(reread->controls[1].properties.Entries(), odd.Entries());
}

TEST(ControlsFormDesign, RefusesNamesTheTextCannotHold) {
    for (const char* key :
         {"", " Caption", "Cap=tion", "[Caption", ";Caption", "#C", "Ca\nption"}) {
        FormDesign design;
        ControlEntry(design, "Cmd").properties.Set(key, "x");
        EXPECT_FALSE(FormatFormDesign(design).has_value()) << "key \"" << key << "\"";
    }
    for (const char* name : {"", "Cmd ", "Cm\nd"}) {
        FormDesign design;
        ControlEntry(design, name);
        EXPECT_FALSE(FormatFormDesign(design).has_value()) << "name \"" << name << "\"";
    }
}

}  // namespace
