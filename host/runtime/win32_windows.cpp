#include <windows.h>

#include "host/runtime/win32_services.h"

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

WindowHandle Win32NativeWindows::EmbedInto(WindowHandle window, WindowHandle parent) {
    const HWND hwnd = ToHwnd(window);
    SetWindowLongA(hwnd, GWL_STYLE, GetWindowLongA(hwnd, GWL_STYLE) | WS_CHILD);
    return reinterpret_cast<WindowHandle>(::SetParent(hwnd, ToHwnd(parent)));
}

bool Win32NativeWindows::AnimateZoom(WindowHandle window, const PixelRect& from,
                                     const PixelRect& to) {
    const RECT fromRect = ToRect(from);
    const RECT toRect = ToRect(to);
    return ::DrawAnimatedRects(ToHwnd(window), IDANI_CAPTION, &fromRect, &toRect) != FALSE;
}

int32_t Win32Cursor::ShowCursor(int32_t show) {
    return ::ShowCursor(show != 0 ? TRUE : FALSE);
}

std::optional<PixelPoint> Win32Cursor::Position() const {
    POINT point{};
    if (!GetCursorPos(&point)) return std::nullopt;
    return PixelPoint{point.x, point.y};
}
