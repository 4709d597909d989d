#include <gtest/gtest.h>

#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "renderer/window/renderer_main.h"
#include "renderer/window/window_messages.h"
#include "tests/unit/renderer_gl_recorder.h"

namespace {

// A window message as the Win32 window procedure hands it on.
EventAction HandleRendererMessage(RendererRun& run, uint32_t message, uint32_t wParam,
                                  uint32_t lParam) {
    return HandleRendererEvent(run, TranslateWindowMessage(message, wParam, lParam));
}

uint32_t SizeParam(int width, int height) {
    return static_cast<uint32_t>(width | height << 16);
}

TEST(RendererMessages, SizeKindsDecideVisibilityAndReshape) {
    RendererRun run;
    EventAction action = HandleRendererMessage(run, msg::kSize, msg::kSizeMinimized, 0);
    EXPECT_TRUE(action.handled);
    EXPECT_FALSE(action.reshape);
    EXPECT_EQ(run.window.visible, 0);

    for (uint32_t kind : {msg::kSizeRestored, msg::kSizeMaximized}) {
        run.window.visible = 0;
        action = HandleRendererMessage(run, msg::kSize, kind, SizeParam(640, 0));
        EXPECT_TRUE(action.handled);
        EXPECT_TRUE(action.reshape);
        EXPECT_EQ(action.width, 640);
        EXPECT_EQ(action.height, 0);
        EXPECT_EQ(run.window.visible, 1);
    }
    run.window.visible = 0;
    action = HandleRendererMessage(run, msg::kSize, 3 /* another window was maximised */,
                                   SizeParam(1, 1));
    EXPECT_FALSE(action.handled);
    EXPECT_FALSE(action.reshape);
    EXPECT_EQ(run.window.visible, 0);
}

TEST(RendererMessages, KeysAreStoredOnlyUpTo255) {
    RendererRun run;
    EXPECT_TRUE(HandleRendererMessage(run, msg::kKeyDown, 255, 0).handled);
    EXPECT_EQ(run.keyStates[255], 1);
    EXPECT_TRUE(HandleRendererMessage(run, msg::kKeyUp, 27, 0).handled);  // unseen press
    EXPECT_EQ(run.keyStates[27], 0);
    const std::vector<int32_t> before(std::begin(run.keyStates), std::end(run.keyStates));
    EXPECT_FALSE(HandleRendererMessage(run, msg::kKeyDown, 256, 0).handled);
    EXPECT_FALSE(HandleRendererMessage(run, msg::kKeyUp, 0x10000 + 27, 0).handled);
    EXPECT_EQ(std::vector<int32_t>(std::begin(run.keyStates), std::end(run.keyStates)), before);
}

TEST(RendererMessages, APressStaysUntilAFrameHasSeenIt) {
    RendererRun run;
    // A tap between two frames: the release waits for the frame.
    HandleRendererMessage(run, msg::kKeyDown, 'A', 0);
    HandleRendererMessage(run, msg::kKeyUp, 'A', 0);
    EXPECT_EQ(run.keyStates['A'], 1);
    KeysSeenByFrame(run);
    EXPECT_EQ(run.keyStates['A'], 0);

    // Held across a frame: the release applies at once.
    HandleRendererMessage(run, msg::kKeyDown, 'A', 0);
    KeysSeenByFrame(run);
    EXPECT_EQ(run.keyStates['A'], 1);
    HandleRendererMessage(run, msg::kKeyUp, 'A', 0);
    EXPECT_EQ(run.keyStates['A'], 0);

    // Auto-repeat's release and press between two frames: the key stays down after the frame.
    HandleRendererMessage(run, msg::kKeyDown, 'B', 0);
    KeysSeenByFrame(run);
    HandleRendererMessage(run, msg::kKeyUp, 'B', 0);
    HandleRendererMessage(run, msg::kKeyDown, 'B', 0);
    KeysSeenByFrame(run);
    EXPECT_EQ(run.keyStates['B'], 1);
}

TEST(RendererMessages, RefusesExactlyScreenSaveAndMonitorPower) {
    RendererRun run;
    EXPECT_TRUE(HandleRendererMessage(run, msg::kSysCommand, 0xF140, 0).handled);
    EXPECT_TRUE(HandleRendererMessage(run, msg::kSysCommand, 0xF170, 0).handled);
    for (uint32_t other : {0xF141u, 0xF172u, 0xF060u /* close */, 0xF020u}) {
        EXPECT_FALSE(HandleRendererMessage(run, msg::kSysCommand, other, 0).handled) << other;
    }
}

TEST(RendererMessages, CloseAsksToQuitAndModeSwitchTogglesTheWish) {
    RendererRun run;
    run.flags.keepRunning = true;
    EventAction action = HandleRendererMessage(run, msg::kClose, 0, 0);
    EXPECT_TRUE(action.handled);
    EXPECT_TRUE(action.postQuit);
    EXPECT_FALSE(run.flags.keepRunning);

    run.flags.keepRunning = true;
    run.flags.wantFullScreen = 1;
    run.window.fullScreen = 0;  // the switch failed, the wish stays
    action = HandleRendererMessage(run, msg::kModeSwitch, 0, 0);
    EXPECT_FALSE(action.handled);  // default processing follows
    EXPECT_TRUE(action.postQuit);
    EXPECT_TRUE(run.flags.keepRunning);
    EXPECT_EQ(run.flags.wantFullScreen, 0);
    HandleRendererMessage(run, msg::kModeSwitch, 0, 0);
    EXPECT_EQ(run.flags.wantFullScreen, 1);
}

TEST(WindowFrame, FollowsTheOutcomeOfTheModeSwitch) {
    const WindowFrame full = ChooseWindowFrame(true, true);
    EXPECT_TRUE(full.coversScreen);
    EXPECT_TRUE(full.topmost);
    EXPECT_TRUE(full.hideCursor);
    EXPECT_FALSE(full.sizeIsClientArea);

    const WindowFrame failed = ChooseWindowFrame(true, false);
    EXPECT_FALSE(failed.coversScreen);
    EXPECT_FALSE(failed.topmost);
    EXPECT_FALSE(failed.hideCursor);
    EXPECT_FALSE(failed.sizeIsClientArea);  // the outer window gets the size

    const WindowFrame windowed = ChooseWindowFrame(false, false);
    EXPECT_FALSE(windowed.coversScreen);
    EXPECT_FALSE(windowed.topmost);
    EXPECT_TRUE(windowed.sizeIsClientArea);
}

TEST(ReshapeView, SetsViewportAndPerspectiveEvenForZeroHeight) {
    GlRecorder gl;
    ReshapeView(gl, 1024, 768);
    ReshapeView(gl, 800, 0);
    const std::vector<std::string> expected = {
        GlRecorder::Call("Viewport", {0, 0, 1024, 768}),
        GlRecorder::Call("MatrixMode", {gl::kProjection}),
        GlRecorder::Call("LoadIdentity", {}),
        GlRecorder::Call("Perspective", {45, 1024.0 / 768.0, 1, 100}),
        GlRecorder::Call("MatrixMode", {gl::kModelView}),
        GlRecorder::Call("LoadIdentity", {}),
        GlRecorder::Call("Viewport", {0, 0, 800, 0}),
        GlRecorder::Call("MatrixMode", {gl::kProjection}),
        GlRecorder::Call("LoadIdentity", {}),
        GlRecorder::Call("Perspective", {45, 1, 1, 100}),
        GlRecorder::Call("MatrixMode", {gl::kModelView}),
        GlRecorder::Call("LoadIdentity", {})};
    EXPECT_EQ(gl.calls, expected);
}

TEST(TicksBetween, SurvivesTheCounterWrap) {
    EXPECT_EQ(TicksBetween(0xFFFFFFF0u, 0x10u), 0x20u);
    EXPECT_EQ(TicksBetween(100u, 116u), 16u);
}

struct ScriptedMessage {
    ScriptedMessage(uint32_t number, uint32_t param = 0) : message(number), wParam(param) {}
    uint32_t message;
    uint32_t wParam;
};

// A platform that plays back a script of window messages and records what the
// loop did. Its swap waits for the vertical blank unless told otherwise.
class ScriptedPlatform final : public RendererPlatform {
  public:
    bool registers = true;
    int createFailsAt = -1;
    bool swapPaced = true;
    uint32_t tick = 1000;
    uint32_t tickStep = 16;
    std::deque<ScriptedMessage> queue;
    std::function<void(RendererRun&, int frame)> onFrame;
    std::vector<std::string> log;
    std::vector<int64_t> timedWaitsUs;
    int creations = 0;
    int frames = 0;
    RendererRun* run = nullptr;
    GlRecorder gl;

    uint32_t TickCount() override { return tick; }
    bool OpenWindowSystem() override {
        log.push_back("register");
        return registers;
    }
    void CloseWindowSystem() override { log.push_back("unregister"); }
    bool CreateRendererWindow(RendererRun& r) override {
        run = &r;
        log.push_back(r.window.fullScreen ? "create full" : "create windowed");
        if (creations++ == createFailsAt) return false;
        r.window.visible = 1;
        SetDisplayPacing(r.pacer, 60.0, swapPaced);
        return true;
    }
    void DestroyRendererWindow(RendererRun&) override { log.push_back("destroy"); }
    EventStep HandleNextEvent(RendererRun& r) override {
        if (queue.empty()) return EventStep::kNoneWaiting;
        const ScriptedMessage next = queue.front();
        queue.pop_front();
        if (next.message == msg::kQuit) return EventStep::kQuit;
        const EventAction action = HandleRendererMessage(r, next.message, next.wParam, 0);
        if (action.postQuit) queue.push_back(msg::kQuit);
        return EventStep::kHandled;
    }
    void WaitForEvent(int64_t timeoutUs) override {
        if (timeoutUs >= 0) {
            timedWaitsUs.push_back(timeoutUs);
            tick += static_cast<uint32_t>((timeoutUs + 999) / 1000);
            return;
        }
        log.push_back("wait");
        tick += 5000;  // the window stays minimised for a while
        run->window.visible = 1;
    }
    void SwapBuffers() override {
        ++frames;
        if (onFrame) onFrame(*run, frames);
        tick += tickStep;
    }
    void PostQuitToWindow() override { queue.push_back(msg::kQuit); }
    GlSink& Gl() override { return gl; }
};

TEST(RendererMain, FailedRegistrationEndsWithMinusOne) {
    ScriptedPlatform platform;
    platform.registers = false;
    RendererRun run;
    EXPECT_EQ(RendererMain(platform, run), -1);
    EXPECT_EQ(platform.log, std::vector<std::string>{"register"});
}

TEST(RendererMain, FailedCreationEndsWithZeroAndUnregisters) {
    ScriptedPlatform platform;
    platform.createFailsAt = 0;
    RendererRun run;
    EXPECT_EQ(RendererMain(platform, run), 0);
    EXPECT_EQ(platform.log, (std::vector<std::string>{"register", "create full", "unregister"}));
    EXPECT_TRUE(run.windowFailed);
}

TEST(RendererMain, AWindowThatCannotBeRebuiltEndsTheRunAsFailed) {
    ScriptedPlatform platform;
    platform.createFailsAt = 1;
    platform.queue = {msg::kModeSwitch};
    RendererRun run;
    EXPECT_EQ(RendererMain(platform, run), 0);
    EXPECT_EQ(platform.log, (std::vector<std::string>{"register", "create full", "destroy",
                                                      "create windowed", "unregister"}));
    EXPECT_TRUE(run.windowFailed);
}

TEST(RendererMain, EscapeEndsTheRunAfterTheFrameThatSawIt) {
    ScriptedPlatform platform;
    RendererRun run;
    platform.onFrame = [](RendererRun& r, int frame) {
        if (frame == 3) r.keyStates[kEscapeKey] = 1;
    };
    EXPECT_EQ(RendererMain(platform, run), 0);
    EXPECT_EQ(platform.frames, 4);
    EXPECT_FALSE(run.flags.keepRunning);
    EXPECT_FALSE(run.windowFailed);
    EXPECT_EQ(platform.log,
              (std::vector<std::string>{"register", "create full", "destroy", "unregister"}));
    // The first frame is measured from the window's creation, which this clock
    // puts at the same tick; the three after it add 16 ms each.
    EXPECT_EQ(run.scene.accumulatedMs, 48u);
}

TEST(RendererMain, ATapOfEscapeBetweenTwoFramesEndsTheRun) {
    ScriptedPlatform platform;
    RendererRun run;
    platform.onFrame = [&](RendererRun&, int frame) {
        if (frame == 1) platform.queue = {{msg::kKeyDown, kEscapeKey}, {msg::kKeyUp, kEscapeKey}};
        if (frame == 5) platform.queue.push_back(msg::kClose);  // the tap was lost
    };
    EXPECT_EQ(RendererMain(platform, run), 0);
    EXPECT_EQ(platform.frames, 2);
    EXPECT_EQ(run.keyStates[kEscapeKey], 0);
}

TEST(RendererMain, ClockRunsAcrossTheTickWrap) {
    ScriptedPlatform platform;
    platform.tick = 0xFFFFFFF0u;
    RendererRun run;
    platform.onFrame = [](RendererRun& r, int frame) {
        if (frame == 2) r.keyStates[kEscapeKey] = 1;
    };
    RendererMain(platform, run);
    EXPECT_EQ(run.scene.accumulatedMs, 2u * 16u);
}

TEST(RendererMain, MinimisedWindowWaitsAndHandsOverTheWholeTime) {
    ScriptedPlatform platform;
    RendererRun run;
    platform.onFrame = [](RendererRun& r, int frame) {
        if (frame == 1) r.window.visible = 0;
        if (frame == 2) r.keyStates[kEscapeKey] = 1;
    };
    RendererMain(platform, run);
    EXPECT_EQ(platform.frames, 3);
    EXPECT_NE(std::find(platform.log.begin(), platform.log.end(), "wait"), platform.log.end());
    EXPECT_EQ(run.scene.accumulatedMs, 0u + (16u + 5000u) + 16u);
}

TEST(RendererMain, ModeSwitchRebuildsKeepingTheClockAndRefillingTheLines) {
    ScriptedPlatform platform;
    RendererRun run;
    float firstRates[kLinesPerSet] = {};
    uint64_t clockAtSwitch = 0;
    platform.onFrame = [&](RendererRun& r, int frame) {
        if (frame == 2) {
            std::copy(std::begin(r.scene.warmSet.rate), std::end(r.scene.warmSet.rate), firstRates);
            clockAtSwitch = r.scene.accumulatedMs;
            r.keyStates['X'] = 1;  // a key still down when the window goes
            platform.queue.push_back(msg::kModeSwitch);
        }
        if (frame == 3) {
            EXPECT_EQ(r.keyStates['X'], 0);
            EXPECT_GE(r.scene.accumulatedMs, clockAtSwitch);
            EXPECT_NE(std::vector<float>(std::begin(r.scene.warmSet.rate),
                                         std::end(r.scene.warmSet.rate)),
                      std::vector<float>(std::begin(firstRates), std::end(firstRates)));
            platform.queue.push_back(msg::kClose);
        }
    };
    EXPECT_EQ(RendererMain(platform, run), 0);
    EXPECT_EQ(platform.log, (std::vector<std::string>{"register", "create full", "destroy",
                                                      "create windowed", "destroy", "unregister"}));
    // One 16 ms step before the switch; the rebuilt window starts its own count.
    EXPECT_EQ(run.scene.accumulatedMs, 16u);
}

TEST(RendererMain, UnpacedSwapIsCappedAtTheRefreshRate) {
    ScriptedPlatform platform;
    platform.swapPaced = false;
    platform.tickStep = 2;  // a quick frame, as on a display without a vertical blank
    RendererRun run;
    uint32_t firstTick = 0;
    platform.onFrame = [&](RendererRun& r, int frame) {
        if (frame == 1) firstTick = platform.tick;
        if (frame == 61) {
            // 60 periods of a 60 Hz display after the first frame, give or take
            // the millisecond clock.
            EXPECT_NEAR(static_cast<double>(platform.tick - firstTick), 1000.0, 2.0);
            r.keyStates[kEscapeKey] = 1;
        }
    };
    RendererMain(platform, run);
    EXPECT_EQ(platform.frames, 62);  // the frame that sees Escape is still drawn
    EXPECT_FALSE(platform.timedWaitsUs.empty());
}

}  // namespace
