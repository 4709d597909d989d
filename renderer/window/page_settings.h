#pragma once
// The renderer's settings on a web page, read from the page address's query
// (index.html?seed=7&time=500&frames=1&fps=1), where the tools that show a page as a screen saver
// or a live wallpaper can pass them.

#include <cstdint>
#include <string>

#include "renderer/scene/line_scene.h"

struct PageSettings {
    bool fixedSeed = false;  // the line sets are seeded seed, seed + 1, seed + 2, not by the clock
    uint32_t seed = 0;
    bool fixedTime = false;  // the scene's clock stands still at timeMs
    uint32_t timeMs = 0;
    uint32_t frames = 0;   // frames to draw before the page stops drawing; 0: no end
    bool showFps = false;  // the frame rate in a corner, as the renderer's --fps shows it
};

// Takes the query with or without its '?'. Names it does not know and values that are not whole
// decimal numbers up to 2^32 - 1 are passed over: the tool that opens the page may add its own.
PageSettings ParsePageSettings(const std::string& query);

// The tick a frame is drawn at, given the tick the window's scene started at.
uint32_t PageFrameTick(const PageSettings& settings, uint32_t startTick, uint32_t now);

// The seeds the scene draws for its line sets: the clock's tick, or the fixed seed counting up.
class PageSeeds final : public TickSource {
  public:
    PageSeeds(const PageSettings& settings, TickSource& clock)
        : settings_(settings), clock_(clock), next_(settings.seed) {}
    uint32_t TickCount() override { return settings_.fixedSeed ? next_++ : clock_.TickCount(); }

  private:
    const PageSettings& settings_;
    TickSource& clock_;
    uint32_t next_;
};
