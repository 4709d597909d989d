#include <gtest/gtest.h>

#include "host/startup/startup.h"
#include "startup_fakes.h"

using namespace startup_fakes;

namespace {

constexpr WindowHandle kPreviewHandle = 0x500;

FormEvents LoadHandler(std::function<void()> load) {
    FormEvents events;
    events.load = std::move(load);
    return events;
}

struct Placement {
    double left, top, width, height;
};

struct StartupMainTest : ::testing::Test {
    std::vector<std::string> journal;
    FakeProgram program;
    FakeScreen screen;
    FakeLookup lookup;
    FakeInstanceLock instanceLock;
    FakeNativeWindows windows;
    FakeCursor cursor;
    FakeProfile profile;
    FakeFiles files;
    Latin1CodePage codePage;
    SettingsFileAccess access{profile, files, codePage, program};
    StartupServices services{program, screen, lookup, instanceLock, windows, cursor, access};
    FakeFormPlatform platform;
    int settingsReadsAtDialogLoad = -1;
    Form run{platform, screen, FormLook{"Lumen_Ribbon_Main", FormBorder::Borderless}, FormEvents{}};
    Form dialog{platform, screen, FormLook{"<Lumen_Ribbon>", FormBorder::FixedSingle},
                LoadHandler([this] { settingsReadsAtDialogLoad = profile.reads; })};
    Form preview{platform, screen, FormLook{"Preview Window", FormBorder::Borderless},
                 FormEvents{}};
    std::vector<Placement> picturePlacements;
    StartupForms forms{run, dialog, preview, [this](double l, double t, double w, double h) {
                           picturePlacements.push_back({l, t, w, h});
                       }};
    StartupModule module;
    Settings settings;

    StartupMainTest() {
        program.journal = &journal;
        platform.journal = &journal;
        files.openable.insert("C:\\Saver\\Lumen_Ribbon.dll");
    }

    void Start(const std::string& commandLine) {
        program.commandLine = commandLine;
        Main(module, settings, services, forms);
    }

    void ExpectNoForms() {
        EXPECT_TRUE(platform.created.empty());
        EXPECT_FALSE(run.Loaded());
        EXPECT_FALSE(dialog.Loaded());
        EXPECT_FALSE(preview.Loaded());
    }

    void ExpectSettingsLoadedAndRendererLookedFor() {
        EXPECT_EQ(profile.reads, 3);
        ASSERT_FALSE(files.asked.empty());
        EXPECT_EQ(files.asked.back(), "C:\\Saver\\Lumen_Ribbon.dll");
    }
};

struct StartupRunSwitch : StartupMainTest, ::testing::WithParamInterface<const char*> {};

}  // namespace

TEST_P(StartupRunSwitch, HidesTheCursorAndLoadsTheRunFormHidden) {
    Start(GetParam());
    EXPECT_EQ(lookup.asked, (std::vector<std::string>{"Lumen_Ribbon_Main", "<Lumen_Ribbon>"}));
    ExpectSettingsLoadedAndRendererLookedFor();
    EXPECT_EQ(cursor.calls, std::vector<int32_t>{0});
    EXPECT_EQ(module.CursorCount, -1);
    EXPECT_TRUE(run.Loaded());
    EXPECT_FALSE(run.Visible());
    EXPECT_FALSE(dialog.Loaded());
    EXPECT_FALSE(preview.Loaded());
    EXPECT_EQ(program.endCount, 0);
    EXPECT_TRUE(program.messages.empty());
}

// "ps" has "s" as its second character, which selects the run like any other run switch.
INSTANTIATE_TEST_SUITE_P(Lines, StartupRunSwitch,
                         ::testing::Values("/s", "-S", "/S", "/s 1234", "ps"));

TEST_F(StartupMainTest, EmptyLineRunsWithoutHidingTheCursor) {
    Start("");
    ExpectSettingsLoadedAndRendererLookedFor();
    EXPECT_TRUE(cursor.calls.empty());
    EXPECT_FALSE(module.CursorCount.has_value());
    EXPECT_TRUE(run.Loaded());
    EXPECT_FALSE(run.Visible());
    EXPECT_EQ(program.endCount, 0);
}

TEST_F(StartupMainTest, ConfigureShowsTheDialogModallyAndEndsOnceItHasClosed) {
    for (const char* line : {"/c:1234", "/C"}) {
        SCOPED_TRACE(line);
        journal.clear();
        program.endCount = 0;
        profile.reads = 0;
        bool visibleDuringLoop = false;
        platform.pendingEvents.push_back([&] {
            visibleDuringLoop = dialog.Visible();
            EXPECT_EQ(program.endCount, 0);
            dialog.Unload(UnloadMode::ControlMenu);
        });
        Start(line);
        EXPECT_TRUE(visibleDuringLoop);
        EXPECT_EQ(settingsReadsAtDialogLoad, 3);
        ASSERT_FALSE(platform.modalWindows.empty());
        EXPECT_NE(platform.modalWindows.back(), 0u);
        EXPECT_EQ(journal, (std::vector<std::string>{"create <Lumen_Ribbon>", "modal loop",
                                                     "destroy <Lumen_Ribbon>", "end"}));
        EXPECT_FALSE(run.Loaded());
        EXPECT_TRUE(cursor.calls.empty());
        EXPECT_FALSE(module.CursorCount.has_value());
    }
}

TEST_F(StartupMainTest, PreviewBecomesAChildOfThePaneAndCoversIt) {
    for (const char* line : {"/p 1234", "/p:1234"}) {
        SCOPED_TRACE(line);
        platform.nextHandle = kPreviewHandle;
        windows = FakeNativeWindows{};
        windows.rects[1234] = PixelRect{100, 200, 252, 312};
        picturePlacements.clear();
        preview.Unload();

        Start(line);
        ASSERT_TRUE(preview.Loaded());
        EXPECT_EQ(preview.Handle(), kPreviewHandle);
        EXPECT_TRUE(preview.Visible());
        EXPECT_EQ(windows.embeddings,
                  (std::vector<std::pair<WindowHandle, WindowHandle>>{{kPreviewHandle, 1234}}));
        EXPECT_EQ(platform.Find("Preview Window")->bounds, (PixelRect{0, 0, 152, 112}));
        EXPECT_EQ(preview.Width(), 2280);
        EXPECT_EQ(preview.Height(), 1680);
        ASSERT_EQ(picturePlacements.size(), 1u);
        EXPECT_EQ(picturePlacements[0].left, 0);
        EXPECT_EQ(picturePlacements[0].top, 0);
        EXPECT_EQ(picturePlacements[0].width, 2280);
        EXPECT_EQ(picturePlacements[0].height, 1680);
    }
    EXPECT_EQ(profile.reads, 0);
    EXPECT_TRUE(files.asked.empty());
    EXPECT_TRUE(cursor.calls.empty());
    EXPECT_EQ(program.endCount, 0);
    EXPECT_FALSE(run.Loaded());
    EXPECT_FALSE(dialog.Loaded());
}

TEST_F(StartupMainTest, PreviewWithoutANumberUsesHandleZeroAndSizeZero) {
    Start("/p");
    ASSERT_TRUE(preview.Loaded());
    EXPECT_TRUE(preview.Visible());
    ASSERT_EQ(windows.embeddings.size(), 1u);
    EXPECT_EQ(windows.embeddings[0].second, 0u);
    EXPECT_EQ(platform.Find("Preview Window")->bounds, (PixelRect{0, 0, 0, 0}));
    ASSERT_EQ(picturePlacements.size(), 1u);
    EXPECT_EQ(picturePlacements[0].width, 0);
    EXPECT_EQ(module.ApiResult, 0);
}

TEST_F(StartupMainTest, PreviewForAPaneThatDoesNotExistEndsAtOnce) {
    windows.rects[1234] = PixelRect{0, 0, 152, 112};
    for (const char* line : {"/p 0", "/p -1", "/p abc", "/p 4321", "/p 1234.9"}) {
        SCOPED_TRACE(line);
        program.endCount = 0;
        Start(line);
        EXPECT_EQ(program.endCount, 1);
        EXPECT_FALSE(preview.Loaded());
        EXPECT_TRUE(windows.embeddings.empty());
    }
}

TEST_F(StartupMainTest, PreviewSizeThatDoesNotFitSixteenBitsStaysZero) {
    windows.rects[77] = PixelRect{0, 0, 2185, 2184};  // 32775 twips wide, 32760 high
    Start("/p 77");
    EXPECT_EQ(platform.Find("Preview Window")->bounds, (PixelRect{0, 0, 0, 2184}));
    ASSERT_EQ(picturePlacements.size(), 1u);
    EXPECT_EQ(picturePlacements[0].width, 0);
    EXPECT_EQ(picturePlacements[0].height, 32760);
}

TEST_F(StartupMainTest, PreviewUsesTheScreensTwipsPerPixel) {
    screen.twipsPerPixelX = 12;
    screen.twipsPerPixelY = 12;
    windows.rects[5] = PixelRect{0, 0, 200, 150};
    Start("/p 5");
    ASSERT_EQ(picturePlacements.size(), 1u);
    EXPECT_EQ(picturePlacements[0].width, 2400);
    EXPECT_EQ(picturePlacements[0].height, 1800);
    EXPECT_EQ(platform.Find("Preview Window")->bounds, (PixelRect{0, 0, 200, 150}));
}

TEST_F(StartupMainTest, PreviewNeedsNoRenderer) {
    files.openable.clear();
    windows.rects[1234] = PixelRect{0, 0, 152, 112};
    Start("/p 1234");
    EXPECT_TRUE(preview.Visible());
    EXPECT_TRUE(program.messages.empty());
    EXPECT_EQ(program.endCount, 0);
}

TEST_F(StartupMainTest, AnotherInstanceEndsEveryModeAtOnce) {
    for (const char* title : {"Lumen_Ribbon_Main", "<Lumen_Ribbon>"}) {
        for (const char* line : {"/s", "/c", "/p 1234", "", "/a"}) {
            SCOPED_TRACE(std::string(title) + " " + line);
            lookup.windows = {{title, 0x42}};
            program.endCount = 0;
            Start(line);
            EXPECT_EQ(program.endCount, 1);
            EXPECT_EQ(profile.reads, 0);
            EXPECT_TRUE(files.asked.empty());
            EXPECT_TRUE(cursor.calls.empty());
            EXPECT_TRUE(program.messages.empty());
            ExpectNoForms();
        }
    }
}

TEST_F(StartupMainTest, LockHeldByAHostOnItsWayUpEndsARunOrDialogBeforeItsWindow) {
    instanceLock.heldElsewhere = true;
    for (const char* line : {"/s", "/c", ""}) {
        SCOPED_TRACE(line);
        program.endCount = 0;
        Start(line);
        EXPECT_EQ(program.endCount, 1);
        EXPECT_TRUE(cursor.calls.empty());
        ExpectNoForms();
    }
    // Only the modes with a window of those names take it: a preview and a refused switch not.
    const int triesOfTheWindowModes = instanceLock.tries;
    windows.rects[1234] = PixelRect{0, 0, 152, 112};
    Start("/p 1234");
    EXPECT_TRUE(preview.Visible());
    Start("/a");
    EXPECT_EQ(instanceLock.tries, triesOfTheWindowModes);
}

TEST_F(StartupMainTest, OtherSwitchesEndSilentlyAfterTheChecks) {
    for (const char* line : {"s", "/a", "/x", "/a 1234", "/"}) {
        SCOPED_TRACE(line);
        program.endCount = 0;
        profile.reads = 0;
        files.asked.clear();
        Start(line);
        ExpectSettingsLoadedAndRendererLookedFor();
        EXPECT_EQ(program.endCount, 1);
        EXPECT_TRUE(program.messages.empty());
        EXPECT_TRUE(cursor.calls.empty());
        ExpectNoForms();
    }
}

TEST_F(StartupMainTest, MissingRendererShowsTheMessageThenEnds) {
    files.openable.clear();
    for (const char* line : {"/s", "/c", "", "/a 1234"}) {
        SCOPED_TRACE(line);
        journal.clear();
        program.messages.clear();
        Start(line);
        ASSERT_EQ(program.messages.size(), 1u);
        EXPECT_EQ(program.messages[0].first,
                  "Lumen_Ribbon.dll が Lumen_Ribbon.scr と同じﾌｫﾙﾀﾞに見つかりません！");
        EXPECT_EQ(program.messages[0].second, "Lumen_Ribbon (Screen Saver)");
        EXPECT_EQ(journal, (std::vector<std::string>{"message", "end"}));
        EXPECT_TRUE(cursor.calls.empty());
        ExpectNoForms();
    }
}

TEST_F(StartupMainTest, RendererPathAtADriveRootHasTwoBackslashes) {
    program.folder = "E:\\";
    files.openable = {"E:\\\\Lumen_Ribbon.dll"};
    Start("/s");
    EXPECT_EQ(files.asked.back(), "E:\\\\Lumen_Ribbon.dll");
    EXPECT_TRUE(run.Loaded());
}

TEST(StartupModeSwitch, IsTheSecondCharacterUpperCased) {
    EXPECT_EQ(ModeSwitch("/s"), "S");
    EXPECT_EQ(ModeSwitch("/c:1234"), "C");
    EXPECT_EQ(ModeSwitch("-p 5"), "P");
    EXPECT_EQ(ModeSwitch(""), "");
    EXPECT_EQ(ModeSwitch("s"), "");
    EXPECT_EQ(ModeSwitch("\xE3\x81\x82s"), "S");             // "あs": characters, not bytes
    EXPECT_EQ(ModeSwitch("/\xE3\x81\x82"), "\xE3\x81\x82");  // "/あ" stays as it is
}

TEST(StartupPreviewParentHandle, ReadsTheNumberFromTheFourthCharacterOn) {
    EXPECT_EQ(PreviewParentHandle("/p 1234"), 1234u);
    EXPECT_EQ(PreviewParentHandle("/p:1234"), 1234u);
    EXPECT_EQ(PreviewParentHandle("/P 1234 junk"), 1234u);
    EXPECT_EQ(PreviewParentHandle("/p"), 0u);
    EXPECT_EQ(PreviewParentHandle("/p x12"), 0u);
    EXPECT_EQ(PreviewParentHandle("/p 12.5"), 12u);
    EXPECT_EQ(PreviewParentHandle("/p 13.5"), 14u);
    EXPECT_EQ(PreviewParentHandle("\xE3\x81\x82p 77"), 77u);
}

TEST(StartupPreviewParentHandle, KeepsTheThirtyTwoBitsOfLargeHandles) {
    EXPECT_EQ(PreviewParentHandle("/p 2147483647"), 0x7FFFFFFFu);
    EXPECT_EQ(PreviewParentHandle("/p 2147483648"), 0x80000000u);
    EXPECT_EQ(PreviewParentHandle("/p 4294967295"), 0xFFFFFFFFu);
    EXPECT_EQ(PreviewParentHandle("/p 4294967296"), 0u);
    EXPECT_EQ(PreviewParentHandle("/p 4294967591"), 0u);
    EXPECT_EQ(PreviewParentHandle("/p 99999999999"), 0u);
}
