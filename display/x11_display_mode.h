#pragma once
// The display mode of an X screen's primary output, switched through RandR
// 1.2 or later. The original mode is recorded on the root window, so whichever
// program restores it (a second instance, the host after a killed renderer, a
// fresh connection after this one was lost) restores the true original.

#include <X11/Xlib.h>

struct OutputArea {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
};

// Switches the primary output (else the first connected one with a CRTC) to
// width x height, adding such a mode when the output lacks it. False when there
// is no RandR 1.2, no such output, or the server refuses; nothing is changed then.
bool SwitchDisplayMode(Display* display, int width, int height);
// Puts the recorded mode back and removes a mode added for the switch. False
// when no switch is recorded.
bool RestoreDisplayMode(Display* display);
// Where the primary output shows on the screen; false without RandR 1.2.
bool PrimaryOutputArea(Display* display, OutputArea& area);
// Refresh rate of the primary output's current mode in hertz; 0 when unknown.
double PrimaryRefreshRate(Display* display);
