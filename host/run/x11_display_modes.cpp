// Display modes on X: the mode a renderer switched from is recorded on the root window.
// clang-format off
// The host's headers before the X headers, whose macros (None) clash with its names.
#include "host/run/x11_run_services.h"
#include "display/x11_display_mode.h"

#include <gdk/gdkx.h>
// clang-format on

void X11DisplayModes::RestoreUserMode() {
    RestoreDisplayMode(gdk_x11_get_default_xdisplay());
}
