#include "display/x11_display_mode.h"

#include <X11/Xatom.h>
#include <X11/extensions/Xrandr.h>

#include <cstdio>
#include <cstring>
#include <memory>
#include <vector>

namespace {
const char kRecordName[] = "LUMEN_RIBBON_ORIGINAL_MODE";

// What the root-window record holds, in this order.
enum RecordField {
    kCrtc,
    kMode,
    kX,
    kY,
    kRotation,
    kOutput,
    kAddedMode,
    kScreenWidth,
    kScreenHeight,
    kScreenWidthMm,
    kScreenHeightMm,
    kRecordSize
};

struct ResourcesFree {
    void operator()(XRRScreenResources* r) const { XRRFreeScreenResources(r); }
};
struct OutputFree {
    void operator()(XRROutputInfo* o) const { XRRFreeOutputInfo(o); }
};
struct CrtcFree {
    void operator()(XRRCrtcInfo* c) const { XRRFreeCrtcInfo(c); }
};
using Resources = std::unique_ptr<XRRScreenResources, ResourcesFree>;
using OutputInfo = std::unique_ptr<XRROutputInfo, OutputFree>;
using CrtcInfo = std::unique_ptr<XRRCrtcInfo, CrtcFree>;

struct Primary {
    Resources resources;
    RROutput output = 0;
    RRCrtc crtc = 0;
    OutputInfo outputInfo;
    CrtcInfo crtcInfo;
};

bool HasRandr12(Display* display, bool& hasPrimary) {
    int event = 0, error = 0, major = 0, minor = 0;
    if (!XRRQueryExtension(display, &event, &error)) return false;
    if (!XRRQueryVersion(display, &major, &minor)) return false;
    hasPrimary = major > 1 || minor >= 3;
    return major > 1 || minor >= 2;
}

// The primary output, else the first connected output that has a CRTC.
bool FindPrimary(Display* display, Primary& primary) {
    bool hasPrimary = false;
    if (!HasRandr12(display, hasPrimary)) return false;
    const Window root = DefaultRootWindow(display);
    primary.resources.reset(XRRGetScreenResourcesCurrent(display, root));
    XRRScreenResources* resources = primary.resources.get();
    if (resources == nullptr) return false;
    std::vector<RROutput> candidates;
    if (hasPrimary) {
        const RROutput chosen = XRRGetOutputPrimary(display, root);
        if (chosen != 0) candidates.push_back(chosen);
    }
    candidates.insert(candidates.end(), resources->outputs,
                      resources->outputs + resources->noutput);
    for (const RROutput output : candidates) {
        OutputInfo info(XRRGetOutputInfo(display, resources, output));
        if (!info || info->connection != RR_Connected || info->crtc == 0) continue;
        CrtcInfo crtc(XRRGetCrtcInfo(display, resources, info->crtc));
        if (!crtc || crtc->mode == 0) continue;
        primary.output = output;
        primary.crtc = info->crtc;
        primary.outputInfo = std::move(info);
        primary.crtcInfo = std::move(crtc);
        return true;
    }
    return false;
}

const XRRModeInfo* ModeById(const XRRScreenResources* resources, RRMode id) {
    for (int i = 0; i < resources->nmode; ++i) {
        if (resources->modes[i].id == id) return &resources->modes[i];
    }
    return nullptr;
}

double RefreshOf(const XRRModeInfo& mode) {
    if (mode.hTotal == 0 || mode.vTotal == 0) return 0.0;
    return static_cast<double>(mode.dotClock) / (static_cast<double>(mode.hTotal) * mode.vTotal);
}

// A mode of the output with that size, not interlaced; 0 when there is none.
RRMode OutputModeOfSize(const Primary& primary, int width, int height) {
    for (int i = 0; i < primary.outputInfo->nmode; ++i) {
        const XRRModeInfo* mode = ModeById(primary.resources.get(), primary.outputInfo->modes[i]);
        if (mode != nullptr && static_cast<int>(mode->width) == width &&
            static_cast<int>(mode->height) == height && !(mode->modeFlags & RR_Interlace)) {
            return mode->id;
        }
    }
    return 0;
}

// Adds a 60 Hz mode of that size to the output, with blanking in the
// proportions of the VESA 1024x768 timings.
RRMode AddOutputMode(Display* display, const Primary& primary, int width, int height) {
    char name[32];
    std::snprintf(name, sizeof name, "%dx%d", width, height);
    XRRModeInfo* mode = XRRAllocModeInfo(name, static_cast<int>(std::strlen(name)));
    mode->width = static_cast<unsigned>(width);
    mode->height = static_cast<unsigned>(height);
    mode->hSyncStart = mode->width + mode->width * 24 / 1024;
    mode->hSyncEnd = mode->hSyncStart + mode->width * 136 / 1024;
    mode->hTotal = (mode->width * 1344 / 1024 + 7) / 8 * 8;
    mode->vSyncStart = mode->height + 3;
    mode->vSyncEnd = mode->vSyncStart + 6;
    mode->vTotal = mode->height * 806 / 768;
    mode->dotClock = static_cast<unsigned long>(mode->hTotal) * mode->vTotal * 60;
    mode->modeFlags = RR_HSyncNegative | RR_VSyncNegative;
    const RRMode id = XRRCreateMode(display, DefaultRootWindow(display), mode);
    XRRFreeModeInfo(mode);
    if (id == 0) return 0;
    XRRAddOutputMode(display, primary.output, id);
    return id;
}

// Requests that fail (a refused mode, a mode gone with its creator) are
// reported through this flag instead of ending the program.
bool requestFailed = false;
int NoteFailure(Display*, XErrorEvent*) {
    requestFailed = true;
    return 0;
}

class TrapErrors {
  public:
    explicit TrapErrors(Display* display) : display_(display) {
        XSync(display_, False);
        requestFailed = false;
        previous_ = XSetErrorHandler(NoteFailure);
    }
    ~TrapErrors() {
        XSync(display_, False);
        XSetErrorHandler(previous_);
    }
    bool Failed() {
        XSync(display_, False);
        return requestFailed;
    }

  private:
    Display* display_;
    int (*previous_)(Display*, XErrorEvent*) = nullptr;
};

Atom RecordAtom(Display* display) {
    return XInternAtom(display, kRecordName, False);
}

bool ReadRecord(Display* display, std::vector<unsigned long>& record) {
    Atom type = None;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    if (XGetWindowProperty(display, DefaultRootWindow(display), RecordAtom(display), 0, kRecordSize,
                           False, XA_CARDINAL, &type, &format, &count, &after, &data) != Success) {
        return false;
    }
    const bool found = type == XA_CARDINAL && format == 32 && count == kRecordSize;
    if (found) {
        const auto* values = reinterpret_cast<const unsigned long*>(data);  // format 32: longs
        record.assign(values, values + count);
    }
    if (data != nullptr) XFree(data);
    return found;
}

void WriteRecord(Display* display, const std::vector<unsigned long>& record) {
    XChangeProperty(display, DefaultRootWindow(display), RecordAtom(display), XA_CARDINAL, 32,
                    PropModeReplace, reinterpret_cast<const unsigned char*>(record.data()),
                    static_cast<int>(record.size()));
}

bool SetCrtcMode(Display* display, const Primary& primary, RRMode mode, int x, int y,
                 Rotation rotation) {
    RROutput* outputs = primary.crtcInfo->outputs;
    int count = primary.crtcInfo->noutput;
    RROutput own = primary.output;
    if (count == 0) {
        outputs = &own;
        count = 1;
    }
    return XRRSetCrtcConfig(display, primary.resources.get(), primary.crtc, CurrentTime, x, y, mode,
                            rotation, outputs, count) == RRSetConfigSuccess;
}

bool SwitchWithinGrab(Display* display, int width, int height) {
    Primary primary;
    if (!FindPrimary(display, primary)) return false;
    const XRRCrtcInfo& crtc = *primary.crtcInfo;
    const int screen = DefaultScreen(display);
    std::vector<unsigned long> record;
    // A record left by another instance (or one that was killed) holds the true
    // original; the current mode may be that instance's switch.
    const bool recorded = ReadRecord(display, record);

    TrapErrors trap(display);
    RRMode mode = OutputModeOfSize(primary, width, height);
    RRMode added = 0;
    if (mode == 0) {
        added = mode = AddOutputMode(display, primary, width, height);
        if (trap.Failed() || mode == 0) return false;
    }
    const int screenWidth = DisplayWidth(display, screen);
    const int screenHeight = DisplayHeight(display, screen);
    const int widthMm = DisplayWidthMM(display, screen);
    const int heightMm = DisplayHeightMM(display, screen);
    // A CRTC shows a part of the screen: a bigger mode needs a bigger screen first.
    if (width > screenWidth || height > screenHeight) {
        const int newWidth = width > screenWidth ? width : screenWidth;
        const int newHeight = height > screenHeight ? height : screenHeight;
        XRRSetScreenSize(display, DefaultRootWindow(display), newWidth, newHeight,
                         widthMm * newWidth / screenWidth, heightMm * newHeight / screenHeight);
    }
    const bool switched =
        SetCrtcMode(display, primary, mode, crtc.x, crtc.y, crtc.rotation) && !trap.Failed();
    if (!switched) {
        if (added != 0) {
            XRRDeleteOutputMode(display, primary.output, added);
            XRRDestroyMode(display, added);
        }
        XRRSetScreenSize(display, DefaultRootWindow(display), screenWidth, screenHeight, widthMm,
                         heightMm);
        return false;
    }
    if (!recorded) {
        record = {primary.crtc,
                  crtc.mode,
                  static_cast<unsigned long>(crtc.x),
                  static_cast<unsigned long>(crtc.y),
                  crtc.rotation,
                  primary.output,
                  added,
                  static_cast<unsigned long>(screenWidth),
                  static_cast<unsigned long>(screenHeight),
                  static_cast<unsigned long>(widthMm),
                  static_cast<unsigned long>(heightMm)};
        WriteRecord(display, record);
    } else if (record[kAddedMode] == 0 && added != 0) {
        record[kAddedMode] = added;
        WriteRecord(display, record);
    }
    return true;
}
}  // namespace

bool SwitchDisplayMode(Display* display, int width, int height) {
    // Read, switch and record as one step, so two instances cannot interleave.
    XGrabServer(display);
    const bool switched = SwitchWithinGrab(display, width, height);
    XUngrabServer(display);
    XSync(display, False);
    return switched;
}

bool RestoreDisplayMode(Display* display) {
    XGrabServer(display);
    std::vector<unsigned long> record;
    Primary primary;
    const bool recorded = ReadRecord(display, record);
    if (recorded) {
        TrapErrors trap(display);
        XDeleteProperty(display, DefaultRootWindow(display), RecordAtom(display));
        if (FindPrimary(display, primary) && primary.crtc == record[kCrtc]) {
            const int screen = DefaultScreen(display);
            const int width = DisplayWidth(display, screen);
            const int height = DisplayHeight(display, screen);
            const int recordedWidth = static_cast<int>(record[kScreenWidth]);
            const int recordedHeight = static_cast<int>(record[kScreenHeight]);
            // Another monitor switched off meanwhile may have shrunk the screen below the
            // original mode, which the CRTC must fit in.
            if (recordedWidth > width || recordedHeight > height) {
                const int grownWidth = recordedWidth > width ? recordedWidth : width;
                const int grownHeight = recordedHeight > height ? recordedHeight : height;
                XRRSetScreenSize(display, DefaultRootWindow(display), grownWidth, grownHeight,
                                 DisplayWidthMM(display, screen) * grownWidth / width,
                                 DisplayHeightMM(display, screen) * grownHeight / height);
            }
            SetCrtcMode(display, primary, record[kMode], static_cast<int>(record[kX]),
                        static_cast<int>(record[kY]), static_cast<Rotation>(record[kRotation]));
            if (DisplayWidth(display, screen) != recordedWidth ||
                DisplayHeight(display, screen) != recordedHeight) {
                XRRSetScreenSize(display, DefaultRootWindow(display), recordedWidth, recordedHeight,
                                 static_cast<int>(record[kScreenWidthMm]),
                                 static_cast<int>(record[kScreenHeightMm]));
            }
        }
        // Fails harmlessly when the mode went with the connection that made it.
        if (record[kAddedMode] != 0) {
            XRRDeleteOutputMode(display, record[kOutput], record[kAddedMode]);
            XRRDestroyMode(display, record[kAddedMode]);
        }
    }
    XUngrabServer(display);
    XSync(display, False);
    return recorded;
}

bool PrimaryOutputArea(Display* display, OutputArea& area) {
    Primary primary;
    if (!FindPrimary(display, primary)) return false;
    area = {primary.crtcInfo->x, primary.crtcInfo->y, static_cast<int>(primary.crtcInfo->width),
            static_cast<int>(primary.crtcInfo->height)};
    return true;
}

double PrimaryRefreshRate(Display* display) {
    Primary primary;
    if (!FindPrimary(display, primary)) return 0.0;
    const XRRModeInfo* mode = ModeById(primary.resources.get(), primary.crtcInfo->mode);
    return mode != nullptr ? RefreshOf(*mode) : 0.0;
}
