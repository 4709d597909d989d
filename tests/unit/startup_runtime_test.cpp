#include <gtest/gtest.h>

#include "host/runtime/form.h"
#include "host/runtime/program.h"
#include "host/runtime/screen.h"
#include "host/runtime/timer.h"
#include "startup_fakes.h"

using namespace startup_fakes;

TEST(StartupCommandLine, ArgumentsFollowTheProgramNameAndItsBlanks) {
    EXPECT_EQ(ArgumentsOfCommandLine("\"C:\\My Saver\\Lumen_Ribbon.scr\" /s"), "/s");
    EXPECT_EQ(ArgumentsOfCommandLine("C:\\Saver\\Lumen_Ribbon.scr   /p 1234"), "/p 1234");
    EXPECT_EQ(ArgumentsOfCommandLine("  Lumen_Ribbon.scr\t/c:99 "), "/c:99 ");
    EXPECT_EQ(ArgumentsOfCommandLine("C:\\\"My Saver\"\\Lumen_Ribbon.scr /S"), "/S");
    EXPECT_EQ(ArgumentsOfCommandLine("\"C:\\Lumen_Ribbon.scr\""), "");
    EXPECT_EQ(ArgumentsOfCommandLine("Lumen_Ribbon.scr   "), "");
    EXPECT_EQ(ArgumentsOfCommandLine(""), "");
}

TEST(StartupProgramFolder, HasNoTrailingSeparatorExceptAtADriveRoot) {
    EXPECT_EQ(FolderOfProgramPath("C:\\Saver\\Lumen_Ribbon.scr"), "C:\\Saver");
    EXPECT_EQ(FolderOfProgramPath("C:\\Windows\\System32\\Lumen_Ribbon.scr"),
              "C:\\Windows\\System32");
    EXPECT_EQ(FolderOfProgramPath("D:\\Lumen_Ribbon.scr"), "D:\\");
    EXPECT_EQ(FolderOfProgramPath("\\\\server\\share\\Lumen_Ribbon.scr"), "\\\\server\\share");
}

TEST(StartupTwips, ConvertWithTheScreensResolution) {
    EXPECT_EQ(TwipsPerPixelAt(96), 15);
    EXPECT_EQ(TwipsPerPixelAt(120), 12);
    EXPECT_EQ(TwipsPerPixelAt(144), 10);
    EXPECT_EQ(TwipsToPixels(7185, 15), 479);
    EXPECT_EQ(TwipsToPixels(3780, 15), 252);
    EXPECT_EQ(TwipsToPixels(-150, 15), -10);
    EXPECT_EQ(TwipsToPixels(22.5, 15), 2);  // 1.5 pixels: halves go to the even neighbour
    EXPECT_EQ(TwipsToPixels(1e12, 15), 2147483647);
}

namespace {

struct StartupTimerTest : ::testing::Test {
    FakeTimerService service;
    int ticks = 0;
};

}  // namespace

TEST_F(StartupTimerTest, TicksOnlyWhileEnabledWithAnInterval) {
    Timer timer(service, 50, false, [&] { ++ticks; });
    service.TickAll();
    EXPECT_EQ(ticks, 0);
    EXPECT_TRUE(service.running.empty());

    timer.SetEnabled(true);
    ASSERT_EQ(service.running.size(), 1u);
    EXPECT_EQ(service.running.begin()->second.interval, 50u);
    service.TickAll();
    EXPECT_EQ(ticks, 1);

    timer.SetInterval(0);
    EXPECT_TRUE(service.running.empty());
    timer.SetInterval(200);
    ASSERT_EQ(service.running.size(), 1u);
    EXPECT_EQ(service.running.begin()->second.interval, 200u);
    EXPECT_TRUE(timer.Enabled());
}

TEST_F(StartupTimerTest, ATickAlreadyOnItsWayIsDroppedOnceDisabled) {
    Timer timer(service, 1000, true, [&] { ++ticks; });
    const auto queuedTick = service.running.begin()->second.onTick;
    timer.SetEnabled(false);
    queuedTick();
    EXPECT_EQ(ticks, 0);
}

TEST_F(StartupTimerTest, ATickArrivingDuringTheHandlerIsDropped) {
    std::function<void()> deliver;
    Timer timer(service, 100, true, [&] {
        ++ticks;
        deliver();  // the handler pumps messages and the next tick comes due
    });
    deliver = service.running.begin()->second.onTick;
    deliver();
    EXPECT_EQ(ticks, 1);
    deliver = [] {};
    service.TickAll();
    EXPECT_EQ(ticks, 2);
}

TEST_F(StartupTimerTest, AHandlerMayDisableOrDestroyItsTimer) {
    Timer poll(service, 200, true, [&] {
        ++ticks;
        poll.SetEnabled(false);  // the CD poll switching itself off
    });
    service.TickAll();
    service.TickAll();
    EXPECT_EQ(ticks, 1);
    EXPECT_TRUE(service.running.empty());

    std::unique_ptr<Timer> owned;
    owned = std::make_unique<Timer>(service, 50, true, [&] {
        ++ticks;
        owned.reset();
    });
    service.TickAll();
    EXPECT_EQ(ticks, 2);
    EXPECT_EQ(owned, nullptr);
    EXPECT_TRUE(service.running.empty());
}

namespace {

struct StartupFormTest : ::testing::Test {
    FakeFormPlatform platform;
    FakeScreen screen;
    FakeTimerService timers;
    std::vector<std::string> log;
    bool cancelQuery = false;
    bool cancelUnload = false;
    std::vector<UnloadMode> modes;

    FormEvents Events() {
        FormEvents events;
        events.load = [this] { log.push_back("load"); };
        events.queryUnload = [this](bool& cancel, UnloadMode mode) {
            log.push_back("query");
            modes.push_back(mode);
            cancel = cancelQuery;
        };
        events.unload = [this](bool& cancel) {
            log.push_back("unload");
            cancel = cancelUnload;
        };
        events.resize = [this] { log.push_back("resize"); };
        return events;
    }

    FormLook Look() {
        FormLook look;
        look.caption = "<Lumen_Ribbon>";
        look.clientWidth = 7185;
        look.clientHeight = 3780;
        return look;
    }
};

}  // namespace

TEST_F(StartupFormTest, LoadCreatesTheHiddenWindowOnceAndRunsTheLoadHandler) {
    Form form(platform, screen, Look(), Events());
    EXPECT_EQ(form.Handle(), 0u);
    EXPECT_EQ(form.ControlParent(), nullptr);
    form.Load();
    form.Load();
    EXPECT_EQ(log, std::vector<std::string>{"load"});
    ASSERT_EQ(platform.live.size(), 1u);
    EXPECT_EQ(platform.live[0]->caption, "<Lumen_Ribbon>");
    EXPECT_FALSE(platform.live[0]->visible);
    EXPECT_EQ(platform.live[0]->client.width, 479);
    EXPECT_EQ(platform.live[0]->client.height, 252);
    EXPECT_EQ(form.ScaleWidth(), 7185);
    EXPECT_EQ(form.Handle(), platform.live[0]->handle);
    EXPECT_EQ(form.ControlParent(), platform.live[0]->ControlParent());
}

TEST_F(StartupFormTest, ShowLoadsFirstAndReportsTheSizeOnTheFirstShowingOnly) {
    Form form(platform, screen, Look(), Events());
    form.Show();
    form.Hide();
    EXPECT_FALSE(platform.live[0]->visible);
    form.Show();
    EXPECT_TRUE(platform.live[0]->visible);
    EXPECT_EQ(log, (std::vector<std::string>{"load", "resize"}));
}

TEST_F(StartupFormTest, UnloadAsksBothHandlersThenDestroysTheWindow) {
    Form form(platform, screen, Look(), Events());
    form.Load();
    EXPECT_TRUE(form.Unload());
    EXPECT_EQ(log, (std::vector<std::string>{"load", "query", "unload"}));
    EXPECT_EQ(modes, std::vector<UnloadMode>{UnloadMode::Code});
    EXPECT_FALSE(form.Loaded());
    EXPECT_TRUE(platform.live.empty());
    EXPECT_TRUE(form.Unload());  // nothing left to unload
    EXPECT_EQ(log.size(), 3u);

    form.Load();  // a new load runs the load handler again
    EXPECT_EQ(log.back(), "load");
}

TEST_F(StartupFormTest, EitherHandlerCanKeepTheFormLoaded) {
    Form form(platform, screen, Look(), Events());
    form.Load();
    cancelQuery = true;
    EXPECT_FALSE(form.Unload());
    EXPECT_TRUE(form.Loaded());
    EXPECT_EQ(log, (std::vector<std::string>{"load", "query"}));

    cancelQuery = false;
    cancelUnload = true;
    EXPECT_FALSE(form.Unload());
    EXPECT_TRUE(form.Loaded());
    EXPECT_EQ(platform.live.size(), 1u);
}

TEST_F(StartupFormTest, ACloseRequestFromTheWindowUnloadsWithItsReason) {
    Form form(platform, screen, Look(), Events());
    form.Show();
    FormWindowEvents& events = platform.live[0]->events;
    events.OnCloseRequest(UnloadMode::ControlMenu);
    EXPECT_EQ(modes, std::vector<UnloadMode>{UnloadMode::ControlMenu});
    EXPECT_FALSE(form.Loaded());
}

TEST_F(StartupFormTest, AWindowDestroyedByOthersUnloadsEvenWhenAHandlerCancels) {
    Form form(platform, screen, Look(), Events());
    form.Show();
    cancelQuery = true;
    platform.live[0]->events.OnDestroyedByOthers();
    EXPECT_EQ(modes, std::vector<UnloadMode>{UnloadMode::OwnerClosing});
    EXPECT_EQ(log.back(), "unload");
    EXPECT_FALSE(form.Loaded());
}

TEST_F(StartupFormTest, ModalShowReturnsOnceTheFormIsUnloadedOrHidden) {
    Form form(platform, screen, Look(), Events());
    int turns = 0;
    platform.pendingEvents = {[&] { ++turns; }, [&] { ++turns; }, [&] { form.Unload(); },
                              [&] { ADD_FAILURE() << "loop ran on after the unload"; }};
    form.ShowModal();
    EXPECT_EQ(turns, 2);
    EXPECT_FALSE(form.Loaded());
    EXPECT_EQ(platform.pendingEvents.size(), 1u);

    platform.pendingEvents = {[&] { form.Hide(); }};
    form.ShowModal();
    EXPECT_TRUE(form.Loaded());
    EXPECT_FALSE(form.Visible());
    EXPECT_EQ(platform.modalWindows.size(), 2u);
}

TEST_F(StartupFormTest, ModalShowOfAFormThatUnloadsWhileLoadingRunsNoLoop) {
    FormEvents events;
    Form* self = nullptr;
    events.load = [&] { self->Unload(); };
    Form form(platform, screen, Look(), events);
    self = &form;
    form.ShowModal();
    EXPECT_TRUE(platform.modalWindows.empty());
    EXPECT_FALSE(form.Loaded());
}

TEST_F(StartupFormTest, GeometryIsInTwips) {
    Form form(platform, screen, Look(), Events());
    form.Move(150, 300, 7185, 3780);
    EXPECT_TRUE(platform.live.empty());  // not loaded: no effect
    form.Load();
    form.Move(150, 300, 7305, 4230);
    EXPECT_EQ(platform.live[0]->bounds, (PixelRect{10, 20, 497, 302}));
    EXPECT_EQ(form.Left(), 150);
    EXPECT_EQ(form.Top(), 300);
    EXPECT_EQ(form.Width(), 7305);
    EXPECT_EQ(form.Height(), 4230);
    EXPECT_EQ(log.back(), "resize");
}

TEST_F(StartupFormTest, AttachedTimersTickOnlyWhileTheFormIsLoaded) {
    Form form(platform, screen, Look(), Events());
    int ticks = 0;
    Timer check(timers, 50, true, [&] { ++ticks; });
    form.AttachTimer(check);
    timers.TickAll();
    EXPECT_EQ(ticks, 0);
    form.Load();
    timers.TickAll();
    EXPECT_EQ(ticks, 1);
    form.Unload();
    timers.TickAll();
    EXPECT_EQ(ticks, 1);
    EXPECT_TRUE(timers.running.empty());
    EXPECT_TRUE(check.Enabled());
}

TEST_F(StartupFormTest, CaptionIsTheWindowTitle) {
    Form form(platform, screen, Look(), Events());
    form.SetCaption("Lumen_Ribbon_Main");
    form.Load();
    EXPECT_EQ(platform.live[0]->caption, "Lumen_Ribbon_Main");
    form.SetCaption("<Lumen_Ribbon>");
    EXPECT_EQ(platform.live[0]->caption, "<Lumen_Ribbon>");
}
