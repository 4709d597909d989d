// The system window calls the host makes on raw window handles.
#pragma once

#include "host/runtime/window_types.h"

class NativeWindows {
  public:
    virtual ~NativeWindows() = default;
    // Screen rectangle of the whole window; on failure rect is all zeros and the result false.
    virtual bool GetWindowRect(WindowHandle window, PixelRect& rect) const = 0;
    // Makes window a child of parent (0: of the desktop), shown inside it from then on. Returns
    // the previous parent (0 on failure).
    virtual WindowHandle EmbedInto(WindowHandle window, WindowHandle parent) = 0;
    // The system's zoom of a window's outline from one screen rectangle to the other; returns
    // false when it failed.
    virtual bool AnimateZoom(WindowHandle window, const PixelRect& from, const PixelRect& to) = 0;
};
