#pragma once
// The X11 implementations of the run form's own services.

#include "host/run/display_modes.h"

// The renderer records the user's mode on the root window before it switches; a restore puts the
// recorded mode back from this process.
class X11DisplayModes : public DisplayModes {
  public:
    void RestoreUserMode() override;
};
