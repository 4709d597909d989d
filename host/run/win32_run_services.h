#pragma once
// The Win32 implementations of the run form's own services.

#include "host/run/display_modes.h"

// The user's mode is the one stored in the registry.
class Win32DisplayModes : public DisplayModes {
  public:
    void RestoreUserMode() override;
};
