#include <gtest/gtest.h>

#include "renderer/window/frame_pacer.h"

namespace {

// Runs frames of drawMs each on a fake millisecond clock for durationMs and
// counts them, sleeping whenever the pacer asks.
struct PacedRun {
    int frames = 0;
    int64_t sleptUs = 0;
};

PacedRun RunFrames(FramePacer& pacer, uint32_t startTick, uint32_t durationMs, uint32_t drawMs) {
    PacedRun result;
    uint32_t tick = startTick;
    StartPacing(pacer, tick);
    while (tick - startTick < durationMs) {
        const int64_t waitUs = FrameWaitUs(pacer, tick);
        if (waitUs > 0) {
            result.sleptUs += waitUs;
            tick += static_cast<uint32_t>((waitUs + 999) / 1000);
            continue;
        }
        tick += drawMs;
        FrameDrawn(pacer, tick);
        ++result.frames;
    }
    return result;
}

TEST(FramePacer, UnpacedSwapRunsAtTheRefreshRateOrSixtyWhenUnknown) {
    FramePacer pacer;
    SetDisplayPacing(pacer, 0.0, false);
    EXPECT_NEAR(RunFrames(pacer, 5000, 10000, 2).frames, 600, 2);

    SetDisplayPacing(pacer, 75.0, false);
    // Across the wrap of the tick counter as well.
    EXPECT_NEAR(RunFrames(pacer, 0xFFFFF000u, 10000, 2).frames, 750, 2);
}

TEST(FramePacer, SlowFramesAreNeverHeldBack) {
    FramePacer pacer;
    SetDisplayPacing(pacer, 60.0, false);
    const PacedRun run = RunFrames(pacer, 0, 1000, 25);
    EXPECT_EQ(run.frames, 40);
    EXPECT_EQ(run.sleptUs, 0);
}

TEST(FramePacer, PacedSwapNeverSleepsUnlessItProvesNotToWait) {
    FramePacer pacer;
    SetDisplayPacing(pacer, 60.0, true);
    // A swap that waits for the blank: frames come one period apart by themselves.
    const PacedRun paced = RunFrames(pacer, 0, 1000, 16);
    EXPECT_EQ(paced.sleptUs, 0);
    EXPECT_TRUE(pacer.swapPaced);

    // A swap said to wait that returns at once: after a few frames the cap takes over.
    const PacedRun unpaced = RunFrames(pacer, 0, 10000, 1);
    EXPECT_FALSE(pacer.swapPaced);
    EXPECT_NEAR(unpaced.frames, 600, 12);
}

TEST(FramePacer, DelayIsAddedToEveryFrameAndZeroPeriodRemovesTheCap) {
    FramePacer pacer;
    SetDisplayPacing(pacer, 60.0, true);
    pacer.delayMs = 20.0;
    // 16 ms swap + 20 ms sleep per frame.
    EXPECT_NEAR(RunFrames(pacer, 0, 3600, 16).frames, 100, 1);

    pacer.delayMs = 0.0;
    SetDisplayPacing(pacer, 60.0, false);
    pacer.periodMs = 0.0;
    const PacedRun uncapped = RunFrames(pacer, 0, 1000, 2);
    EXPECT_EQ(uncapped.frames, 500);
    EXPECT_EQ(uncapped.sleptUs, 0);
}

}  // namespace
