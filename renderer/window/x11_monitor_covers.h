#pragma once
// The monitors of an X screen as RandR lists them, the notifications of their changes, and the
// black covers over those the run does not draw on: override-redirect windows, which no window
// manager places, frames or stacks below its own, showing no pointer.

#include <X11/Xlib.h>

#include <vector>

#include "renderer/window/monitor_covers.h"

class X11CoverWindows final : public CoverWindows {
  public:
    X11CoverWindows(Display* display, Cursor hiddenCursor)
        : display_(display), hiddenCursor_(hiddenCursor) {}
    uintptr_t OpenCover(const MonitorArea& area) override;
    void CloseCover(uintptr_t handle) override;

  private:
    Display* display_;
    Cursor hiddenCursor_;
};

// Asks the server to tell of monitors added, removed, moved or switched; false without RandR
// 1.2. eventBase gets the number of RandR's first event.
bool WatchMonitorLayout(Display* display, int& eventBase);
// Whether the event tells of a changed layout; Xlib's idea of the screen's size is brought up
// to date on the way.
bool IsLayoutChange(XEvent& event, int eventBase);
// The active monitors (RandR 1.5), else the areas of the CRTCs that show something.
std::vector<MonitorArea> MonitorLayout(Display* display);
