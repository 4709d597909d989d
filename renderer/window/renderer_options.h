#pragma once
// The renderer's command line, with the options every XScreenSaver hack takes:
// -root, -window-id ID, -delay MICROSECONDS, -fps (with one dash or two), and
// the window XSCREENSAVER_WINDOW names.

#include <cstdint>
#include <string>

// A longer sleep per frame is taken as this one: a frame at least every ten seconds.
constexpr uint64_t kMaxDelayUs = 10000000;
// X window ids are 32-bit; 0 names no window.
constexpr uint64_t kMaxWindowId = 0xFFFFFFFFu;

enum class RendererCommand { kRun, kHelp, kVersion, kUsageError };

enum class DrawTarget {
    kOwnWindow,    // the standalone program: its own window, full screen
    kRootWindow,   // the screen's root window
    kGivenWindow,  // a window another program made (windowId)
};

struct RendererOptions {
    RendererCommand command = RendererCommand::kRun;
    DrawTarget target = DrawTarget::kOwnWindow;
    uint64_t windowId = 0;
    uint64_t delayUs = 0;  // at most kMaxDelayUs
    bool showFps = false;
    std::string error;  // what was wrong, for kUsageError
};

// xscreensaverWindow is the value of XSCREENSAVER_WINDOW, or null when unset.
RendererOptions ParseRendererOptions(int argc, const char* const* argv,
                                     const char* xscreensaverWindow);
std::string RendererUsage(const std::string& program);
