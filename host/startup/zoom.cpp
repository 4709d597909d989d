#include "host/startup/zoom.h"

#include "host/runtime/conversions.h"

namespace {

PixelRect WindowRectOrZero(const NativeWindows& windows, WindowHandle window) {
    PixelRect rect;
    if (!windows.GetWindowRect(window, rect)) rect = PixelRect{};
    return rect;
}

}  // namespace

void RecordZoomOrigin(StartupModule& module, const CursorService& cursor) {
    const auto position = cursor.Position();
    if (!position) {
        module.CursorX = 0;
        module.CursorY = 0;
        return;
    }
    if (const auto x = RoundToInt16(position->x)) module.CursorX = *x;
    if (const auto y = RoundToInt16(position->y)) module.CursorY = *y;
}

PixelRect ZoomPointRect(const StartupModule& module) {
    return PixelRect{module.CursorX, module.CursorY, module.CursorX, module.CursorY};
}

void WindowZoomOpen(const StartupModule& module, NativeWindows& windows, WindowHandle window) {
    windows.AnimateZoom(window, ZoomPointRect(module), WindowRectOrZero(windows, window));
}

void WindowZoomClose(const StartupModule& module, NativeWindows& windows, WindowHandle window) {
    windows.AnimateZoom(window, WindowRectOrZero(windows, window), ZoomPointRect(module));
}
