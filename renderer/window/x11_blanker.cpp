#include "renderer/window/x11_blanker.h"

#include <X11/extensions/dpms.h>
#include <X11/extensions/scrnsaver.h>

BlankerHold HoldOffBlanker(Display* display) {
    BlankerHold hold;
    int eventBase = 0, errorBase = 0, major = 0, minor = 0;
    // Suspending needs version 1.1 of the extension.
    if (XScreenSaverQueryExtension(display, &eventBase, &errorBase) &&
        XScreenSaverQueryVersion(display, &major, &minor) &&
        (major > 1 || (major == 1 && minor >= 1))) {
        XScreenSaverSuspend(display, True);
        hold.saverSuspended = true;
    }
    CARD16 level = 0;
    BOOL enabled = False;
    if (DPMSQueryExtension(display, &eventBase, &errorBase) && DPMSCapable(display) &&
        DPMSInfo(display, &level, &enabled) && enabled) {
        DPMSDisable(display);
        hold.dpmsDisabled = true;
    }
    XFlush(display);
    return hold;
}

void ReleaseBlanker(Display* display, BlankerHold& hold) {
    if (hold.saverSuspended) XScreenSaverSuspend(display, False);
    if (hold.dpmsDisabled) DPMSEnable(display);
    hold = {};
    XFlush(display);
}
