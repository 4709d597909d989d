#include <gtest/gtest.h>

#include "renderer/window/page_settings.h"
#include "renderer/window/renderer_main.h"

namespace {

class StoppedClock final : public TickSource {
  public:
    uint32_t TickCount() override { return 5000; }
};

TEST(PageSettings, ReadsTheQueryAndPassesOverWhatItDoesNotKnow) {
    const PageSettings fixed = ParsePageSettings("?seed=4294967295&time=500&frames=1&fps=1");
    EXPECT_TRUE(fixed.showFps);
    EXPECT_TRUE(fixed.fixedSeed);
    EXPECT_EQ(fixed.seed, 4294967295u);
    EXPECT_TRUE(fixed.fixedTime);
    EXPECT_EQ(fixed.timeMs, 500u);
    EXPECT_EQ(fixed.frames, 1u);

    // Foreign names, empty pairs, signs, spaces, hex and numbers past 32 bits change nothing.
    const PageSettings plain = ParsePageSettings(
        "?mode=wallpaper&&seed=4294967296&time=-5&frames=0x10&seed= 3&time&=7&Seed=3&fps=yes");
    EXPECT_FALSE(plain.showFps);
    EXPECT_FALSE(plain.fixedSeed);
    EXPECT_FALSE(plain.fixedTime);
    EXPECT_EQ(plain.frames, 0u);

    const PageSettings noMark = ParsePageSettings("time=0&seed=12");
    EXPECT_TRUE(noMark.fixedTime);
    EXPECT_EQ(noMark.timeMs, 0u);
    EXPECT_EQ(noMark.seed, 12u);
    EXPECT_FALSE(ParsePageSettings("").fixedSeed);
}

TEST(PageSettings, FixedTimeAndSeedHoldTheClockAndCountTheSeeds) {
    PageSettings settings;
    StoppedClock clock;
    PageSeeds fromClock(settings, clock);
    EXPECT_EQ(fromClock.TickCount(), 5000u);
    EXPECT_EQ(PageFrameTick(settings, 100, 4321), 4321u);

    settings = ParsePageSettings("?seed=20240&time=3000");
    PageSeeds fixed(settings, clock);
    EXPECT_EQ(fixed.TickCount(), 20240u);
    EXPECT_EQ(fixed.TickCount(), 20241u);
    EXPECT_EQ(fixed.TickCount(), 20242u);
    // Whenever a frame comes, it is drawn 3 s after the start, across the tick counter's wrap.
    EXPECT_EQ(PageFrameTick(settings, 100, 4321), 3100u);
    EXPECT_EQ(TicksBetween(4294967000u, PageFrameTick(settings, 4294967000u, 12)), 3000u);
}

}  // namespace
