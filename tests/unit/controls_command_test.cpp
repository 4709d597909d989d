#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "host/controls/command.h"

namespace {

// One PaintFace as the surface saw it: cleared, filled, framed from one skin.
struct Paint {
    std::vector<Skin> skins;  // one entry per frame piece copied
    std::array<GradientVertex, 2> gradient{};
    std::vector<PixelRect> destinations;
};

class FakeSurface : public ButtonSurface {
  public:
    SurfaceMetrics metrics{117, 28, 117, 28, 15.0, 15.0};
    std::vector<Paint> paints;
    bool opaque = true;
    int refreshes = 0;
    CaptionLabel shownCaption;
    int captionShows = 0;

    SurfaceMetrics Metrics() const override { return metrics; }
    void Clear() override { paints.emplace_back(); }
    void FillGradient(const std::array<GradientVertex, 2>& vertices) override {
        ASSERT_FALSE(paints.empty()) << "gradient before clear";
        paints.back().gradient = vertices;
    }
    void CopySkin(Skin skin, const PixelRect& from, const PixelRect& to) override {
        ASSERT_FALSE(paints.empty()) << "frame before clear";
        (void)from;
        paints.back().skins.push_back(skin);
        paints.back().destinations.push_back(to);
    }
    void Refresh() override { ++refreshes; }
    void SetOpaque(bool value) override { opaque = value; }
    void ShowCaption(const CaptionLabel& label) override {
        shownCaption = label;
        ++captionShows;
    }

    // The skin of each paint, checking that every paint copied one skin for all 8 pieces.
    std::vector<Skin> PaintedSkins() const {
        std::vector<Skin> result;
        for (const Paint& paint : paints) {
            EXPECT_EQ(paint.skins.size(), 8u);
            for (Skin skin : paint.skins) EXPECT_EQ(skin, paint.skins.front());
            result.push_back(paint.skins.empty() ? Skin::Normal : paint.skins.front());
        }
        return result;
    }
    bool WhiteOnTopLastPaint() const { return paints.back().gradient[0].red == 0xFF00; }
};

constexpr WindowId kButtonWindow{0x100};
constexpr WindowId kFormWindow{0x200};
constexpr WindowId kOtherWindow{0x300};

class FakeProbe : public HoverProbe {
  public:
    WindowId under = kButtonWindow;
    bool parentReadable = true;
    int pollingInterval = 0;

    void StartPolling(int intervalMs) override { pollingInterval = intervalMs; }
    WindowId WindowUnderCursor() const override { return under; }
    WindowId OwnWindow() const override { return kButtonWindow; }
    std::optional<WindowId> ParentWindow() const override {
        if (!parentReadable) return std::nullopt;
        return kFormWindow;
    }
};

class CommandTest : public ::testing::Test {
  protected:
    FakeSurface surface;
    FakeProbe probe;
    int clicks = 0;
    std::vector<std::string> changed;
    std::unique_ptr<Command> button = MakeButton();

    std::unique_ptr<Command> MakeButton() {
        CommandEvents events;
        events.Click = [this] { ++clicks; };
        events.PropertyChanged = [this](std::string_view name) { changed.emplace_back(name); };
        return std::make_unique<Command>(surface, probe, std::move(events));
    }

    // A button the way the dialog sets it up: enabled by the first read, then initialised.
    void SetUpInMode(uint8_t mode) {
        button->Enabled();
        button->Initialize();
        if (mode == ModeHighLight || mode == ModeHighLightSelect) button->UserControl_MouseMove();
        if (mode == ModeSelected || mode == ModeHighLightSelect) {
            button->UserControl_GotFocus();
            if (mode == ModeHighLightSelect) button->UserControl_MouseMove();
        }
        ASSERT_EQ(button->Fields().ButtonMode, mode);
        surface.paints.clear();
    }

    uint8_t Mode() const { return button->Fields().ButtonMode; }
};

// --- The transition table --------------------------------------------------------------------

struct TransitionRow {
    const char* name;
    uint8_t startMode;
    std::function<void(Command&, FakeProbe&)> action;
    uint8_t endMode;
    std::vector<Skin> painted;
    int clicks;
};

void PrintTo(const TransitionRow& row, std::ostream* out) {
    *out << row.name;
}

class CommandTransitionTest : public CommandTest,
                              public ::testing::WithParamInterface<TransitionRow> {};

TEST_P(CommandTransitionTest, FollowsTheTable) {
    const TransitionRow& row = GetParam();
    SetUpInMode(row.startMode);
    row.action(*button, probe);
    EXPECT_EQ(Mode(), row.endMode);
    EXPECT_EQ(surface.PaintedSkins(), row.painted);
    EXPECT_EQ(clicks, row.clicks);
}

void Move(Command& b, FakeProbe&) {
    b.UserControl_MouseMove();
}
void PollAway(Command& b, FakeProbe& p) {
    p.under = kOtherWindow;
    b.TmrMouse_Timer();
}
void GotFocus(Command& b, FakeProbe&) {
    b.UserControl_GotFocus();
}
void LostFocus(Command& b, FakeProbe&) {
    b.UserControl_LostFocus();
}
void LeftDown(Command& b, FakeProbe&) {
    b.UserControl_MouseDown(kLeftButton);
}
void RightDown(Command& b, FakeProbe&) {
    b.UserControl_MouseDown(kRightButton);
}
void LeftUp(Command& b, FakeProbe&) {
    b.UserControl_MouseUp(kLeftButton);
}
void RightUp(Command& b, FakeProbe&) {
    b.UserControl_MouseUp(kRightButton);
}
void MiddleUp(Command& b, FakeProbe&) {
    b.UserControl_MouseUp(kMiddleButton);
}

using S = Skin;
INSTANTIATE_TEST_SUITE_P(
    Rows, CommandTransitionTest,
    ::testing::Values(
        TransitionRow{"MoveHighlightsNormal", 1, Move, 2, {S::HighLight}, 0},
        TransitionRow{"MoveHighlightsSelected", 3, Move, 4, {S::HighLightSelect}, 0},
        TransitionRow{"MoveLeavesHighLight", 2, Move, 2, {}, 0},
        TransitionRow{"MoveLeavesHighLightSelect", 4, Move, 4, {}, 0},
        TransitionRow{"PollEndsHighLight", 2, PollAway, 1, {S::Normal}, 0},
        TransitionRow{"PollEndsHighLightSelect", 4, PollAway, 3, {S::Selected}, 0},
        TransitionRow{"PollLeavesNormal", 1, PollAway, 1, {}, 0},
        TransitionRow{"PollLeavesSelected", 3, PollAway, 3, {}, 0},
        TransitionRow{"FocusOnNormal", 1, GotFocus, 3, {S::Selected}, 0},
        TransitionRow{"FocusOnSelected", 3, GotFocus, 3, {S::Selected}, 0},
        TransitionRow{"FocusOnHighLightSelect", 4, GotFocus, 3, {S::Selected}, 0},
        // Mode 2 becomes 4 and stays there: the "not 2" row was tested first.
        TransitionRow{"FocusOnHighLight", 2, GotFocus, 4, {S::Pressed}, 0},
        TransitionRow{"FocusLostFromHighLight", 2, LostFocus, 1, {S::Normal}, 0},
        TransitionRow{"FocusLostFromSelected", 3, LostFocus, 1, {S::Normal}, 0},
        TransitionRow{"FocusLostFromHighLightSelect", 4, LostFocus, 1, {S::Normal}, 0},
        TransitionRow{"FocusLostFromNormal", 1, LostFocus, 1, {}, 0},
        TransitionRow{"LeftDownPresses", 2, LeftDown, 2, {S::Pressed}, 0},
        TransitionRow{"LeftDownPressesInMode3", 3, LeftDown, 3, {S::Pressed}, 0},
        TransitionRow{"RightDownDoesNothing", 2, RightDown, 2, {}, 0},
        TransitionRow{"LeftUpOverHighLight", 2, LeftUp, 2, {S::Normal}, 1},
        // The release paint comes first, then the click.
        TransitionRow{"LeftUpOverHighLightSelect", 4, LeftUp, 4, {S::HighLightSelect}, 1},
        TransitionRow{"LeftUpInNormal", 1, LeftUp, 1, {}, 1},
        TransitionRow{"LeftUpInSelected", 3, LeftUp, 3, {}, 0},
        TransitionRow{"RightUpOverHighLight", 2, RightUp, 2, {}, 1},
        TransitionRow{"RightUpOverHighLightSelect", 4, RightUp, 4, {}, 1},
        TransitionRow{"RightUpInSelected", 3, RightUp, 3, {}, 0},
        TransitionRow{"MiddleUpOverHighLight", 2, MiddleUp, 2, {}, 1}),
    [](const ::testing::TestParamInfo<TransitionRow>& info) { return info.param.name; });

// --- Sequences --------------------------------------------------------------------------------

TEST_F(CommandTest, TypicalClickEndsHighlightedAndSelected) {
    // A click handler that looks at what had been painted when it ran.
    std::vector<Skin> facesAtClick;
    CommandEvents events;
    events.Click = [&] {
        ++clicks;
        facesAtClick = surface.PaintedSkins();
    };
    button = std::make_unique<Command>(surface, probe, std::move(events));
    SetUpInMode(ModeNormal);
    button->UserControl_MouseMove();
    button->UserControl_MouseDown(kLeftButton);
    button->UserControl_GotFocus();
    button->TmrMouse_Timer();  // the pointer is still over the button
    button->UserControl_MouseUp(kLeftButton);

    EXPECT_EQ(clicks, 1);
    const std::vector<Skin> expected = {S::HighLight, S::Pressed, S::Pressed, S::HighLightSelect};
    EXPECT_EQ(surface.PaintedSkins(), expected);
    EXPECT_EQ(facesAtClick, expected) << "Click must run after the release paint";
    EXPECT_EQ(Mode(), ModeHighLightSelect);
    EXPECT_FALSE(button->Fields().MouseHeld);
}

TEST_F(CommandTest, PressDragAwayPollAndReleaseCancelsTheClick) {
    for (bool focusFirst : {false, true}) {
        SCOPED_TRACE(focusFirst ? "focus before press" : "press before focus");
        clicks = 0;
        button = MakeButton();
        SetUpInMode(ModeHighLight);
        if (focusFirst) button->UserControl_GotFocus();
        button->UserControl_MouseDown(kLeftButton);
        if (!focusFirst) button->UserControl_GotFocus();
        ASSERT_EQ(Mode(), ModeHighLightSelect);

        probe.under = kOtherWindow;
        button->UserControl_MouseMove();  // captured moves outside change nothing in mode 4
        button->TmrMouse_Timer();
        button->UserControl_MouseUp(kLeftButton);

        EXPECT_EQ(clicks, 0);
        EXPECT_EQ(Mode(), ModeSelected);
        EXPECT_EQ(surface.PaintedSkins().back(), Skin::Selected);
    }
}

TEST_F(CommandTest, LostCaptureEndsThePressSoThatTheNextClickCounts) {
    SetUpInMode(ModeHighLight);
    button->UserControl_MouseDown(kLeftButton);
    button->UserControl_GotFocus();
    probe.under = kOtherWindow;
    button->TmrMouse_Timer();
    ASSERT_EQ(Mode(), ModeSelected);
    surface.paints.clear();

    button->UserControl_CaptureLost();
    EXPECT_FALSE(button->Fields().MouseHeld);
    EXPECT_EQ(surface.PaintedSkins(), std::vector<Skin>{Skin::Selected}) << "not left pressed";
    button->UserControl_CaptureLost();  // nothing held any more: nothing to paint
    EXPECT_EQ(surface.paints.size(), 1u);
    EXPECT_EQ(clicks, 0);

    probe.under = kButtonWindow;
    button->UserControl_MouseMove();
    button->UserControl_MouseDown(kLeftButton);
    button->UserControl_MouseUp(kLeftButton);
    EXPECT_EQ(clicks, 1);
}

TEST_F(CommandTest, DraggingBackWhileHeldDoesNotRestoreTheClick) {
    SetUpInMode(ModeHighLight);
    button->UserControl_MouseDown(kLeftButton);
    button->UserControl_GotFocus();
    probe.under = kOtherWindow;
    button->TmrMouse_Timer();
    ASSERT_EQ(Mode(), ModeSelected);
    const size_t paintsBefore = surface.paints.size();

    probe.under = kButtonWindow;
    button->UserControl_MouseMove();
    button->TmrMouse_Timer();
    EXPECT_EQ(Mode(), ModeSelected);
    EXPECT_EQ(surface.paints.size(), paintsBefore);

    button->UserControl_MouseUp(kLeftButton);
    EXPECT_EQ(clicks, 0);
    // Once released, pointing at the button highlights it again.
    button->UserControl_MouseMove();
    EXPECT_EQ(Mode(), ModeHighLightSelect);
}

TEST_F(CommandTest, HoverEndsWhenTheWindowUnderThePointerIsNotTheButton) {
    struct Case {
        WindowId under;
        bool parentReadable;
        bool leaves;
    };
    const Case cases[] = {
        {kButtonWindow, true, false}, {kFormWindow, true, true},    {kOtherWindow, true, true},
        {WindowId{}, true, true},     {kButtonWindow, false, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "under " << static_cast<std::uintptr_t>(c.under)
                                        << " parent " << c.parentReadable);
        button = MakeButton();
        SetUpInMode(ModeHighLight);
        probe.under = c.under;
        probe.parentReadable = c.parentReadable;
        button->TmrMouse_Timer();
        EXPECT_EQ(Mode(), c.leaves ? ModeNormal : ModeHighLight);
        probe.parentReadable = true;
    }
}

TEST_F(CommandTest, DisabledButtonChangesNothingAndResizePaintsDisable) {
    for (uint8_t mode : {ModeNormal, ModeHighLight, ModeSelected, ModeHighLightSelect}) {
        SCOPED_TRACE(static_cast<int>(mode));
        button = MakeButton();
        SetUpInMode(mode);
        button->Enabled(false);
        surface.paints.clear();

        probe.under = kOtherWindow;
        button->UserControl_MouseMove();
        button->TmrMouse_Timer();
        button->UserControl_GotFocus();
        button->UserControl_LostFocus();
        button->UserControl_MouseDown(kLeftButton);
        button->UserControl_MouseUp(kLeftButton);
        button->UserControl_MouseUp(kRightButton);
        button->Visible(1);
        button->FontColour(0x0000FF);

        EXPECT_EQ(Mode(), mode);
        EXPECT_FALSE(button->Fields().MouseHeld);
        EXPECT_EQ(clicks, 0);
        EXPECT_TRUE(surface.paints.empty());

        button->UserControl_Resize();
        EXPECT_EQ(surface.PaintedSkins(), std::vector<Skin>{Skin::Disable});
        EXPECT_FALSE(surface.shownCaption.enabled);
        EXPECT_EQ(Mode(), mode);
    }
}

TEST_F(CommandTest, DisabledButtonKeepsTheGradientOfItsMode) {
    SetUpInMode(ModeHighLight);
    button->Enabled(false);
    EXPECT_EQ(surface.PaintedSkins().back(), Skin::Disable);
    EXPECT_FALSE(surface.WhiteOnTopLastPaint());
}

TEST_F(CommandTest, BeforeInitializeMovesDoNotHighlightAndAFocusClickRaisesNothing) {
    button->Enabled();
    surface.paints.clear();
    button->UserControl_MouseMove();
    EXPECT_EQ(Mode(), ModeNone);
    EXPECT_TRUE(surface.paints.empty());
    EXPECT_EQ(probe.pollingInterval, 0);

    button->UserControl_MouseDown(kLeftButton);
    button->UserControl_GotFocus();
    button->UserControl_MouseUp(kLeftButton);
    EXPECT_EQ(Mode(), ModeSelected);
    EXPECT_EQ(surface.PaintedSkins(), (std::vector<Skin>{Skin::Pressed, Skin::Selected}));
    EXPECT_EQ(clicks, 0);
}

TEST_F(CommandTest, InitializeEntersModeOneAndStartsPollingWithoutPainting) {
    button->Enabled();
    surface.paints.clear();
    button->Initialize();
    EXPECT_EQ(Mode(), ModeNormal);
    EXPECT_EQ(probe.pollingInterval, 100);
    EXPECT_TRUE(surface.paints.empty());
}

TEST_F(CommandTest, ReadingVisibleOrFontColourRepaintsNormalButKeepsTheMode) {
    SetUpInMode(ModeHighLightSelect);
    EXPECT_EQ(button->Visible(), 255);
    EXPECT_EQ(button->FontColour(), 0u);
    EXPECT_EQ(surface.PaintedSkins(), (std::vector<Skin>{Skin::Normal, Skin::Normal}));
    EXPECT_EQ(Mode(), ModeHighLightSelect);

    // The next transition paints the proper skin again.
    probe.under = kOtherWindow;
    button->TmrMouse_Timer();
    EXPECT_EQ(surface.PaintedSkins().back(), Skin::Selected);
}

TEST_F(CommandTest, ReenablingAFocusedButtonPaintsNormal) {
    SetUpInMode(ModeSelected);
    button->Enabled(false);
    button->Enabled(true);
    EXPECT_EQ(surface.PaintedSkins(), (std::vector<Skin>{Skin::Disable, Skin::Normal}));
    EXPECT_TRUE(surface.shownCaption.enabled);
    EXPECT_EQ(Mode(), ModeSelected);
    EXPECT_EQ(changed, (std::vector<std::string>{"Enabled", "Enabled"}));
}

TEST_F(CommandTest, ModeFourKeepsThePreviousPaintsGradientDirection) {
    // A click on a hovered button: the hover paint put the tint on top, and it stays there.
    SetUpInMode(ModeNormal);
    button->UserControl_MouseMove();
    EXPECT_FALSE(surface.WhiteOnTopLastPaint());
    button->UserControl_MouseDown(kLeftButton);
    button->UserControl_GotFocus();
    button->UserControl_MouseUp(kLeftButton);
    EXPECT_EQ(surface.PaintedSkins().back(), Skin::HighLightSelect);
    EXPECT_FALSE(surface.WhiteOnTopLastPaint());

    // Pointing at a button that already has the focus: white stays on top.
    button = MakeButton();
    SetUpInMode(ModeSelected);
    button->UserControl_MouseMove();
    EXPECT_EQ(surface.PaintedSkins().back(), Skin::HighLightSelect);
    EXPECT_TRUE(surface.WhiteOnTopLastPaint());
}

TEST_F(CommandTest, PaintBeforeAnyModeHasWhiteOnTop) {
    button->Enabled();
    ASSERT_EQ(surface.paints.size(), 1u);
    EXPECT_TRUE(surface.WhiteOnTopLastPaint());
    EXPECT_FALSE(button->Fields().GradientInverted);
}

TEST_F(CommandTest, PaintFillsTheInnerAreaFramesTheOuterAndPlacesTheCaption) {
    surface.metrics = {120, 30, 118, 28, 15.0, 15.0};
    button->Enabled();
    ASSERT_EQ(surface.paints.size(), 1u);
    const Paint& paint = surface.paints.front();
    EXPECT_EQ(paint.gradient[1].x, 117);
    EXPECT_EQ(paint.gradient[1].y, 27);
    ASSERT_EQ(paint.destinations.size(), 8u);
    EXPECT_EQ(paint.destinations[4].left, 116);  // bottom-right corner from the outer size
    EXPECT_EQ(paint.destinations[4].top, 26);
    EXPECT_EQ(surface.refreshes, 2);

    EXPECT_DOUBLE_EQ(surface.shownCaption.topTwips, (450.0 - 215.0) / 2);
    EXPECT_DOUBLE_EQ(surface.shownCaption.leftTwips, 0.0);
    EXPECT_DOUBLE_EQ(surface.shownCaption.widthTwips, 1800.0);
}

TEST_F(CommandTest, CaptionBoxMovesOnlyWithTheNextPaint) {
    button->Enabled();
    const double top = button->LblMsg().topTwips;
    surface.metrics = {117, 40, 117, 40, 15.0, 15.0};
    button->Caption("設定");
    button->Font(FontDesc{"Arial", 14.0, true, 0});
    EXPECT_DOUBLE_EQ(button->LblMsg().topTwips, top);
    EXPECT_EQ(surface.shownCaption.text, "設定");
    EXPECT_EQ(surface.shownCaption.font.face, "Arial");
    EXPECT_EQ(surface.paints.size(), 1u);
    EXPECT_EQ(changed, (std::vector<std::string>{"Caption", "Font"}));

    button->UserControl_Resize();
    EXPECT_DOUBLE_EQ(button->LblMsg().topTwips, (600.0 - 215.0) / 2);
}

TEST_F(CommandTest, NewButtonIsDisabledUntilEnabledIsFirstRead) {
    EXPECT_FALSE(button->Fields().EnabledFlag);
    EXPECT_EQ(button->Fields().FirstRun, 0);
    EXPECT_EQ(button->Caption(), "Command");
    button->UserControl_MouseMove();
    button->UserControl_MouseUp(kLeftButton);
    EXPECT_EQ(clicks, 0);
    EXPECT_TRUE(surface.paints.empty());

    EXPECT_TRUE(button->Enabled());
    EXPECT_EQ(button->Fields().FirstRun, 1);
    EXPECT_EQ(surface.PaintedSkins(), std::vector<Skin>{Skin::Normal});
    EXPECT_TRUE(changed.empty());
}

TEST_F(CommandTest, VisibleSwitchesTheBackgroundStyle) {
    button->Enabled();
    surface.paints.clear();
    button->Visible(0);
    EXPECT_FALSE(surface.opaque);
    EXPECT_TRUE(surface.paints.empty());
    EXPECT_EQ(button->Visible(), 0);
    EXPECT_TRUE(surface.paints.empty());

    button->Visible(7);
    EXPECT_TRUE(surface.opaque);
    EXPECT_EQ(surface.PaintedSkins(), std::vector<Skin>{Skin::Normal});
    EXPECT_EQ(button->Visible(), 255);
    EXPECT_EQ(changed, (std::vector<std::string>{"Visible", "Visible"}));
}

TEST_F(CommandTest, FontColourSetterColoursTheCaptionAndSignals) {
    button->Enabled();
    button->FontColour(0x00FF8000);
    EXPECT_EQ(surface.shownCaption.colour, 0x00FF8000u);
    EXPECT_EQ(button->FontColour(), 0x00FF8000u);
    EXPECT_EQ(changed, std::vector<std::string>{"FontColour"});
}

TEST_F(CommandTest, ClickHandlerMayDestroyTheButton) {
    CommandEvents events;
    events.Click = [this] {
        ++clicks;
        button.reset();
    };
    button = std::make_unique<Command>(surface, probe, std::move(events));
    SetUpInMode(ModeHighLight);
    button->UserControl_MouseUp(kLeftButton);
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(button, nullptr);
}

// --- Stored properties ------------------------------------------------------------------------

const FontDesc kAmbient{"Ambient Face", 9.75, false, 128};

TEST_F(CommandTest, EmptyStoreLoadsTheDefaults) {
    button->UserControl_ReadProperties(PropertyStore{}, kAmbient);
    EXPECT_TRUE(button->Fields().EnabledFlag);
    EXPECT_EQ(button->Caption(), "Command1");
    EXPECT_EQ(button->Font(), kAmbient);
    EXPECT_EQ(button->Fields().FirstRun, 1);
    EXPECT_EQ(button->LblMsg().colour, 0u);
    EXPECT_TRUE(surface.opaque);
    EXPECT_EQ(surface.PaintedSkins(), std::vector<Skin>{Skin::Normal});
    EXPECT_EQ(surface.shownCaption.text, "Command1");
    EXPECT_TRUE(changed.empty());
}

TEST_F(CommandTest, StoredValuesLoadWhateverTheKeysCase) {
    PropertyStore store;
    store.Set("ENABLED", "0");
    store.Set("caption", "ｷｬﾝｾﾙ");
    store.Set("Font", "Arial,12,bold,0");
    store.Set("firstrun", "1");
    store.Set("FontColour", "&HFF&");
    store.Set("visible", "0");
    button->UserControl_ReadProperties(store, kAmbient);

    EXPECT_FALSE(button->Fields().EnabledFlag);
    EXPECT_EQ(button->Caption(), "ｷｬﾝｾﾙ");
    EXPECT_EQ(button->Font(), (FontDesc{"Arial", 12.0, true, 0}));
    EXPECT_EQ(button->LblMsg().colour, 0xFFu);
    EXPECT_FALSE(surface.opaque);
    EXPECT_TRUE(surface.paints.empty()) << "a disabled button is not reset";
}

TEST_F(CommandTest, UnreadableStoredValuesLeaveTheirFieldsAlone) {
    PropertyStore store;
    store.Set("Enabled", "perhaps");
    store.Set("Font", "no size here");
    store.Set("FirstRun", "300");
    store.Set("FontColour", "red");
    store.Set("Visible", "2");
    button->Visible(0);
    button->UserControl_ReadProperties(store, kAmbient);

    EXPECT_FALSE(button->Fields().EnabledFlag);
    EXPECT_EQ(button->Font(), DefaultCommandFont());
    EXPECT_EQ(button->Fields().FirstRun, 0);
    EXPECT_EQ(button->LblMsg().colour, 0u);
    EXPECT_FALSE(surface.opaque);
}

TEST_F(CommandTest, SavingWritesOnlyValuesThatDifferFromTheirDefaults) {
    button->UserControl_ReadProperties(PropertyStore{}, kAmbient);
    button->Caption("設定");
    PropertyStore store;
    store.Set("Left", "4800");       // the form's own entries stay
    store.Set("FontColour", "255");  // stale: the colour is black now
    surface.paints.clear();
    button->UserControl_WriteProperties(store, kAmbient);

    ASSERT_EQ(store.Entries().size(), 2u);
    EXPECT_EQ(store.Find("Left"), "4800");
    EXPECT_EQ(store.Find("Caption"), "設定");
    EXPECT_EQ(surface.PaintedSkins(), std::vector<Skin>{Skin::Normal});

    button->Enabled(false);
    button->Font(FontDesc{"Arial", 12.0, true, 0});
    button->FontColour(0x00123456);
    button->Visible(0);
    button->UserControl_WriteProperties(store, kAmbient);
    EXPECT_EQ(store.Find("Enabled"), "0");
    EXPECT_EQ(store.Find("Font"), "Arial,12,bold,0");
    EXPECT_EQ(store.Find("FontColour"), std::to_string(0x00123456));
    EXPECT_EQ(store.Find("Visible"), "0");
    EXPECT_FALSE(store.Find("FirstRun").has_value());
}

TEST_F(CommandTest, CaptionCommandComesBackAsCommand1) {
    const struct {
        const char* saved;
        const char* loaded;
    } cases[] = {{"Command", "Command1"},
                 {"Command1", "Command1"},
                 {"command", "command"},
                 {"", ""},
                 {"設定", "設定"}};
    for (const auto& c : cases) {
        button = MakeButton();
        button->Enabled();
        button->Caption(c.saved);
        PropertyStore store;
        button->UserControl_WriteProperties(store, kAmbient);

        auto reloaded = MakeButton();
        reloaded->UserControl_ReadProperties(store, kAmbient);
        EXPECT_EQ(reloaded->Caption(), c.loaded) << "saved \"" << c.saved << "\"";
    }
}

TEST_F(CommandTest, AllPropertiesSurviveSaveAndLoad) {
    button->Enabled();
    button->Caption("その他の作品");
    button->Font(FontDesc{"ＭＳ ゴシック", 11.25, true, 128});
    button->FontColour(0x80000012);
    button->Visible(0);
    button->Enabled(false);
    PropertyStore store;
    button->UserControl_WriteProperties(store, kAmbient);

    auto reloaded = MakeButton();
    reloaded->UserControl_ReadProperties(store, kAmbient);
    EXPECT_FALSE(reloaded->Fields().EnabledFlag);
    EXPECT_EQ(reloaded->Fields().FirstRun, 1);
    EXPECT_EQ(reloaded->Caption(), "その他の作品");
    EXPECT_EQ(reloaded->Font(), (FontDesc{"ＭＳ ゴシック", 11.25, true, 128}));
    EXPECT_EQ(reloaded->LblMsg().colour, 0x80000012u);
    EXPECT_EQ(reloaded->Visible(), 0);
}

TEST_F(CommandTest, ResetFaceBlackensTheCaptionOfAButtonNotYetSetUp) {
    // Enabled through the setter: FirstRun is still 0, so a reset forces black.
    button->Enabled(true);
    button->FontColour(0x0000FF);
    EXPECT_EQ(button->LblMsg().colour, 0u);

    button->Enabled();  // the first read sets the button up
    button->FontColour(0x0000FF);
    EXPECT_EQ(button->LblMsg().colour, 0x0000FFu);
}

}  // namespace
