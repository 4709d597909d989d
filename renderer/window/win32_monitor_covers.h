#pragma once
// The black windows that hide the monitors a full-screen run does not draw on, and the
// monitor layout they follow, on Win32.

#include <windows.h>

#include <vector>

#include "renderer/window/monitor_covers.h"

class Win32CoverWindows final : public CoverWindows {
  public:
    // Covers are made of a class of their own, whose window procedure hands their input to the
    // run; `owner` reaches that procedure as the creation parameter.
    Win32CoverWindows(HINSTANCE instance, WNDPROC windowProc, void* owner)
        : instance_(instance), windowProc_(windowProc), owner_(owner) {}

    // Without the class no cover can be opened; the run goes on without them.
    void RegisterCoverClass();
    void UnregisterCoverClass();
    uintptr_t OpenCover(const MonitorArea& area) override;
    void CloseCover(uintptr_t handle) override;

  private:
    HINSTANCE instance_;
    WNDPROC windowProc_;
    void* owner_;
    bool registered_ = false;
};

// Every monitor of the desktop, in screen coordinates.
std::vector<MonitorArea> DesktopMonitors();
MonitorArea AreaOfWindow(HWND window);
