#pragma once
// Holds off the X server's screen saver and DPMS power saving while the renderer's own window
// runs; as a hack under a screen-saver daemon it leaves both to the daemon.

#include <X11/Xlib.h>

struct BlankerHold {
    bool saverSuspended = false;  // ends with the connection, whatever happens to the program
    bool dpmsDisabled = false;    // outlives the program: put back on every way out
};

BlankerHold HoldOffBlanker(Display* display);
// Also through a connection other than the one that held them off.
void ReleaseBlanker(Display* display, BlankerHold& hold);
