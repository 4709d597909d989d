// The system window calls the host makes by name on raw window handles.
#pragma once

#include <cstdint>

#include "host/startup/window_types.h"

// Style bit of a child window.
inline constexpr int32_t kChildWindowStyle = 0x40000000;
// The caption-zoom animation.
inline constexpr int32_t kCaptionAnimation = 3;

class NativeWindows {
  public:
    virtual ~NativeWindows() = default;
    // Screen rectangle of the whole window; on failure rect is all zeros and the result false.
    virtual bool GetWindowRect(WindowHandle window, PixelRect& rect) const = 0;
    virtual int32_t GetStyle(WindowHandle window) const = 0;
    // Returns the previous style (0 on failure).
    virtual int32_t SetStyle(WindowHandle window, int32_t style) = 0;
    // Returns the previous parent (0 on failure).
    virtual WindowHandle SetParent(WindowHandle child, WindowHandle newParent) = 0;
    // The system's window animation between two rectangles; returns false when it failed.
    virtual bool DrawAnimatedRects(WindowHandle window, int32_t animation, const PixelRect& from,
                                   const PixelRect& to) = 0;
};
