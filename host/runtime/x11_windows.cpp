#include <X11/Xlib.h>
#include <gdk/gdkx.h>

#include <algorithm>
#include <chrono>
#include <thread>

#include "host/runtime/gtk_services.h"
#include "host/runtime/x11_top_levels.h"

namespace {

Display* HostDisplay() {
    return gdk_x11_get_default_xdisplay();
}

// Windows go at any moment; their errors are expected and dropped.
class ErrorTrap {
  public:
    ErrorTrap() { gdk_x11_display_error_trap_push(gdk_display_get_default()); }
    ~ErrorTrap() { gdk_x11_display_error_trap_pop_ignored(gdk_display_get_default()); }
    ErrorTrap(const ErrorTrap&) = delete;
    ErrorTrap& operator=(const ErrorTrap&) = delete;
};

}  // namespace

X11WindowLookup::X11WindowLookup() = default;
X11WindowLookup::~X11WindowLookup() = default;

WindowHandle X11WindowLookup::FindByTitle(const std::string& title) const {
    // The windows are followed on a connection of their own, opened on the first look.
    if (!topLevels_ || !topLevels_->Connected()) {
        topLevels_ = std::make_unique<X11TopLevels>(DisplayString(HostDisplay()));
    }
    return topLevels_->Connected() ? topLevels_->FindByTitle(title) : 0;
}

bool X11NativeWindows::GetWindowRect(WindowHandle window, PixelRect& rect) const {
    rect = {};
    Display* display = HostDisplay();
    ErrorTrap trap;
    XWindowAttributes attributes{};
    if (window == 0 || !XGetWindowAttributes(display, static_cast<Window>(window), &attributes)) {
        return false;
    }
    int x = 0;
    int y = 0;
    Window child = 0;
    if (!XTranslateCoordinates(display, static_cast<Window>(window), attributes.root, 0, 0, &x, &y,
                               &child)) {
        return false;
    }
    rect = {x, y, x + attributes.width, y + attributes.height};
    return true;
}

WindowHandle X11NativeWindows::EmbedInto(WindowHandle window, WindowHandle newParent) {
    Display* display = HostDisplay();
    ErrorTrap trap;
    Window root = 0;
    Window parent = 0;
    Window* children = nullptr;
    unsigned count = 0;
    if (!XQueryTree(display, static_cast<Window>(window), &root, &parent, &children, &count)) {
        return 0;
    }
    if (children) XFree(children);
    XReparentWindow(display, static_cast<Window>(window),
                    newParent ? static_cast<Window>(newParent) : root, 0, 0);
    XSync(display, False);
    return parent;
}

bool X11NativeWindows::AnimateZoom(WindowHandle, const PixelRect& from, const PixelRect& to) {
    constexpr int kSteps = 12;
    constexpr auto kStepTime = std::chrono::milliseconds(16);
    Display* display = HostDisplay();
    const Window root = DefaultRootWindow(display);
    XGCValues values{};
    values.function = GXxor;
    values.foreground =
        WhitePixel(display, DefaultScreen(display)) ^ BlackPixel(display, DefaultScreen(display));
    values.subwindow_mode = IncludeInferiors;
    values.line_width = 2;
    GC gc = XCreateGC(display, root, GCFunction | GCForeground | GCSubwindowMode | GCLineWidth,
                      &values);
    const auto between = [](int32_t a, int32_t b, int step) {
        return static_cast<int>(a + static_cast<int64_t>(b - a) * step / kSteps);
    };
    for (int step = 0; step <= kSteps; ++step) {
        const int left = between(from.left, to.left, step);
        const int top = between(from.top, to.top, step);
        const int right = between(from.right, to.right, step);
        const int bottom = between(from.bottom, to.bottom, step);
        const auto width = static_cast<unsigned>(std::max(right - left, 1));
        const auto height = static_cast<unsigned>(std::max(bottom - top, 1));
        // Drawn twice with XOR: the second drawing takes the outline away again.
        XDrawRectangle(display, root, gc, left, top, width, height);
        XSync(display, False);
        std::this_thread::sleep_for(kStepTime);
        XDrawRectangle(display, root, gc, left, top, width, height);
    }
    XFreeGC(display, gc);
    XSync(display, False);
    return true;
}

std::optional<PixelPoint> X11Cursor::Position() const {
    Display* display = HostDisplay();
    Window root = 0;
    Window child = 0;
    int x = 0;
    int y = 0;
    int childX = 0;
    int childY = 0;
    unsigned mask = 0;
    if (!XQueryPointer(display, DefaultRootWindow(display), &root, &child, &x, &y, &childX, &childY,
                       &mask)) {
        return std::nullopt;
    }
    return PixelPoint{x, y};
}
