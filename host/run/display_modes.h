#pragma once
// The display mode of the user's screen around a run whose renderer switches it.

class DisplayModes {
  public:
    virtual ~DisplayModes() = default;
    // Puts the user's mode back. A renderer restores the mode on its own way out; one that was
    // killed leaves its mode behind. Where the mode is already the user's, nothing changes.
    virtual void RestoreUserMode() = 0;
};
