#include "renderer/window/x11_monitor_covers.h"

#include <X11/extensions/Xrandr.h>

namespace {

// RandR's version as major * 100 + minor, 0 without it; eventBase gets its first event's number.
int RandrVersion(Display* display, int& eventBase) {
    int errorBase = 0, major = 0, minor = 0;
    if (!XRRQueryExtension(display, &eventBase, &errorBase) ||
        !XRRQueryVersion(display, &major, &minor)) {
        return 0;
    }
    return major * 100 + minor;
}

}  // namespace

uintptr_t X11CoverWindows::OpenCover(const MonitorArea& area) {
    const int screen = DefaultScreen(display_);
    XSetWindowAttributes attributes{};
    attributes.background_pixel = BlackPixel(display_, screen);
    attributes.override_redirect = True;
    attributes.cursor = hiddenCursor_;
    // Keys and clicks reach the run through its covers as through its own window.
    attributes.event_mask = KeyPressMask | KeyReleaseMask | ButtonPressMask | VisibilityChangeMask;
    const Window cover = XCreateWindow(
        display_, RootWindow(display_, screen), area.x, area.y, static_cast<unsigned>(area.width),
        static_cast<unsigned>(area.height), 0, CopyFromParent, InputOutput, CopyFromParent,
        CWBackPixel | CWOverrideRedirect | CWCursor | CWEventMask, &attributes);
    XMapRaised(display_, cover);
    return cover;
}

void X11CoverWindows::CloseCover(uintptr_t handle) {
    XDestroyWindow(display_, static_cast<Window>(handle));
}

bool WatchMonitorLayout(Display* display, int& eventBase) {
    if (RandrVersion(display, eventBase) < 102) return false;
    XRRSelectInput(display, DefaultRootWindow(display),
                   RRScreenChangeNotifyMask | RRCrtcChangeNotifyMask | RROutputChangeNotifyMask);
    return true;
}

bool IsLayoutChange(XEvent& event, int eventBase) {
    if (event.type != eventBase + RRScreenChangeNotify && event.type != eventBase + RRNotify) {
        return false;
    }
    XRRUpdateConfiguration(&event);
    return true;
}

std::vector<MonitorArea> MonitorLayout(Display* display) {
    std::vector<MonitorArea> layout;
    int eventBase = 0;
    const int version = RandrVersion(display, eventBase);
    if (version < 102) return layout;
    const Window root = DefaultRootWindow(display);
    if (version >= 105) {
        int count = 0;
        if (XRRMonitorInfo* monitors = XRRGetMonitors(display, root, True, &count)) {
            for (int i = 0; i < count; ++i) {
                layout.push_back(
                    {monitors[i].x, monitors[i].y, monitors[i].width, monitors[i].height});
            }
            XRRFreeMonitors(monitors);
        }
        return layout;
    }
    if (XRRScreenResources* resources = XRRGetScreenResourcesCurrent(display, root)) {
        for (int i = 0; i < resources->ncrtc; ++i) {
            XRRCrtcInfo* crtc = XRRGetCrtcInfo(display, resources, resources->crtcs[i]);
            if (crtc == nullptr) continue;
            if (crtc->mode != 0) {
                layout.push_back({crtc->x, crtc->y, static_cast<int32_t>(crtc->width),
                                  static_cast<int32_t>(crtc->height)});
            }
            XRRFreeCrtcInfo(crtc);
        }
        XRRFreeScreenResources(resources);
    }
    return layout;
}
