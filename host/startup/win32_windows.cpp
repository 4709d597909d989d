#include <windows.h>

#include "host/startup/win32_services.h"

namespace {

// Window handles are 32-bit values that 64-bit Windows widens with their sign; one read from a
// command line ("/p 4294967295") arrives here widened with zeros.
HWND ToHwnd(WindowHandle window) {
    return reinterpret_cast<HWND>(static_cast<INT_PTR>(static_cast<int32_t>(window)));
}

RECT ToRect(const PixelRect& rect) {
    return RECT{rect.left, rect.top, rect.right, rect.bottom};
}

}  // namespace

WindowHandle Win32WindowLookup::FindByTitle(const std::string& title) const {
    return reinterpret_cast<WindowHandle>(FindWindowA(nullptr, AnsiFromUtf8(title).c_str()));
}

bool Win32NativeWindows::GetWindowRect(WindowHandle window, PixelRect& rect) const {
    RECT native{};
    if (!::GetWindowRect(ToHwnd(window), &native)) {
        rect = PixelRect{};
        return false;
    }
    rect = PixelRect{native.left, native.top, native.right, native.bottom};
    return true;
}

int32_t Win32NativeWindows::GetStyle(WindowHandle window) const {
    return GetWindowLongA(ToHwnd(window), GWL_STYLE);
}

int32_t Win32NativeWindows::SetStyle(WindowHandle window, int32_t style) {
    return SetWindowLongA(ToHwnd(window), GWL_STYLE, style);
}

WindowHandle Win32NativeWindows::SetParent(WindowHandle child, WindowHandle newParent) {
    return reinterpret_cast<WindowHandle>(::SetParent(ToHwnd(child), ToHwnd(newParent)));
}

bool Win32NativeWindows::DrawAnimatedRects(WindowHandle window, int32_t animation,
                                           const PixelRect& from, const PixelRect& to) {
    const RECT fromRect = ToRect(from);
    const RECT toRect = ToRect(to);
    return ::DrawAnimatedRects(ToHwnd(window), animation, &fromRect, &toRect) != FALSE;
}

int32_t Win32Cursor::ShowCursor(int32_t show) {
    return ::ShowCursor(show != 0 ? TRUE : FALSE);
}

std::optional<PixelPoint> Win32Cursor::Position() const {
    POINT point{};
    if (!GetCursorPos(&point)) return std::nullopt;
    return PixelPoint{point.x, point.y};
}
