// Finding a top-level window by its title.
#pragma once

#include <string>

#include "host/runtime/window_types.h"

class WindowLookup {
  public:
    virtual ~WindowLookup() = default;
    // A top-level window of any class and any process whose whole title is title (UTF-8),
    // visible or not; 0 when there is none.
    virtual WindowHandle FindByTitle(const std::string& title) const = 0;
};
