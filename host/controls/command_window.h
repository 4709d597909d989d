#pragma once

#include <memory>

#include "host/controls/command.h"
#include "host/runtime/window_types.h"

// A Command button in a child window of its own. Each platform provides CreateCommandWindow;
// the window draws the button's persistent face with its caption and delivers mouse, focus,
// size and hover-poll events to the button.
class CommandWindow {
  public:
    virtual ~CommandWindow() = default;  // destroys the window if it still exists

    virtual Command& Button() = 0;
    virtual NativeWidget* Handle() const = 0;
    // Position and size in the parent's client pixels; the button repaints through its
    // resize handler.
    virtual void Move(const PixelRect& bounds) = 0;
};

// A visible child of parent that takes the keyboard focus with Tab and with a click.
// Returns null when the window cannot be made.
std::unique_ptr<CommandWindow> CreateCommandWindow(NativeWidget* parent, const PixelRect& bounds,
                                                   CommandEvents events);
