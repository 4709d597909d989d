// Display modes on X: the mode a renderer switched from is recorded on the root window.
#include <gdk/gdkx.h>

#include "display/x11_display_mode.h"
#include "host/run/x11_run_services.h"

void X11DisplayModes::RestoreUserMode() {
    RestoreDisplayMode(gdk_x11_get_default_xdisplay());
}
