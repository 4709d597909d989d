#include "renderer/window/frame_pacer.h"

#include <algorithm>
#include <cmath>

namespace {
// A swap that is said to wait for the vertical blank but returns at once for
// this many frames in a row is not paced after all (a driver without one).
constexpr int kQuickFramesUntilUnpaced = 10;

void Advance(FramePacer& pacer, uint32_t tick) {
    pacer.nowMs += static_cast<uint32_t>(tick - pacer.lastTick);
    pacer.lastTick = tick;
}
}  // namespace

void SetDisplayPacing(FramePacer& pacer, double refreshHz, bool swapPaced) {
    pacer.periodMs = 1000.0 / (refreshHz > 0.0 ? refreshHz : kDefaultRefreshHz);
    pacer.swapPaced = swapPaced;
    pacer.quickFrames = 0;
}

void StartPacing(FramePacer& pacer, uint32_t tick) {
    pacer.lastTick = tick;
    pacer.nowMs = 0.0;
    pacer.capDueMs = pacer.nextDueMs = pacer.lastFrameMs = 0.0;
    pacer.quickFrames = 0;
}

int64_t FrameWaitUs(FramePacer& pacer, uint32_t tick) {
    Advance(pacer, tick);
    const double waitMs = pacer.nextDueMs - pacer.nowMs;
    return waitMs > 0.0 ? static_cast<int64_t>(std::ceil(waitMs * 1000.0)) : 0;
}

void FrameDrawn(FramePacer& pacer, uint32_t tick) {
    Advance(pacer, tick);
    const double sinceLast = pacer.nowMs - pacer.lastFrameMs;
    pacer.lastFrameMs = pacer.nowMs;
    if (pacer.swapPaced) {
        pacer.quickFrames = sinceLast < pacer.periodMs / 2 ? pacer.quickFrames + 1 : 0;
        if (pacer.quickFrames >= kQuickFramesUntilUnpaced) pacer.swapPaced = false;
    }
    if (pacer.swapPaced) {
        // The swap already spaces the frames: sleeping as well would miss blanks.
        pacer.capDueMs = pacer.nowMs;
    } else {
        // Due one period after the previous due time, so the rate holds on a
        // millisecond clock; a frame that came late starts the count afresh.
        pacer.capDueMs = std::max(pacer.capDueMs + pacer.periodMs, pacer.nowMs);
    }
    pacer.nextDueMs = pacer.capDueMs + pacer.delayMs;
}
