// Plain value types shared by the host's window services.
#pragma once

#include <cstdint>

// A native window handle as a number; 0 is "no window".
using WindowHandle = std::uintptr_t;

// A platform's own control, or the container its controls are placed in: an HWND on Windows, a
// GtkWidget with GTK. Only the platform's files look inside.
struct NativeWidget;

// Pixel rectangle in the order the system fills it: left, top, right, bottom.
struct PixelRect {
    int32_t left = 0;
    int32_t top = 0;
    int32_t right = 0;
    int32_t bottom = 0;

    int32_t Width() const { return right - left; }
    int32_t Height() const { return bottom - top; }
    // Whether the point lies inside: the left and top edges belong to the rectangle, the right
    // and bottom ones do not.
    bool Contains(int32_t x, int32_t y) const {
        return x >= left && x < right && y >= top && y < bottom;
    }
    bool operator==(const PixelRect& other) const {
        return left == other.left && top == other.top && right == other.right &&
               bottom == other.bottom;
    }
};

// The rectangle of the given size whose top-left corner is at left, top.
constexpr PixelRect SizedRect(int32_t left, int32_t top, int32_t width, int32_t height) {
    return PixelRect{left, top, left + width, top + height};
}

struct PixelPoint {
    int32_t x = 0;
    int32_t y = 0;
};

struct PixelSize {
    int32_t width = 0;
    int32_t height = 0;
};
