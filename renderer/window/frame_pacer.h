#pragma once
// Spaces frames one display refresh apart when the buffer swap does not wait
// for the vertical blank itself, and adds the user's sleep per frame. The
// animation is time-based, so the cap changes no picture, only the work done.

#include <cstdint>

constexpr double kDefaultRefreshHz = 60.0;

struct FramePacer {
    double periodMs = 1000.0 / kDefaultRefreshHz;  // 0: no cap
    double delayMs = 0.0;                          // sleep after every frame
    bool swapPaced = false;                        // the swap waits for the vertical blank
    // Clock of the pacer, in milliseconds since Start.
    uint32_t lastTick = 0;
    double nowMs = 0.0;
    double capDueMs = 0.0;   // when the cap allows the next frame
    double nextDueMs = 0.0;  // the same plus the user's sleep
    double lastFrameMs = 0.0;
    int quickFrames = 0;  // frames in a row that came far sooner than a swap could pace them
};

// The display's refresh rate, where known (0 or less: unknown), and whether the
// swap was asked to wait for the vertical blank.
void SetDisplayPacing(FramePacer& pacer, double refreshHz, bool swapPaced);
void StartPacing(FramePacer& pacer, uint32_t tick);
// Microseconds to wait before the next frame; 0 means draw now.
int64_t FrameWaitUs(FramePacer& pacer, uint32_t tick);
void FrameDrawn(FramePacer& pacer, uint32_t tick);
