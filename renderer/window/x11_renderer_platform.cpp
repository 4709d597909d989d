#include "renderer/window/x11_renderer_platform.h"

#include <X11/Xatom.h>
#include <X11/Xutil.h>
#include <X11/keysym.h>
#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <csignal>
#include <cstdio>
#include <cstring>
#include <ctime>

#include "display/x11_display_mode.h"
#include "renderer/window/x11_blanker.h"

namespace {
const char kClassName[] = "OpenGL";
const char kInstanceName[] = "lumen-ribbon";
const char kModeSwitchAtom[] = "LUMEN_RIBBON_MODE_SWITCH";

// Signals only set the flag and wake the loop through the pipe; the loop does
// the rest, outside the handler.
volatile sig_atomic_t stopRequested = 0;
int wakePipe[2] = {-1, -1};

void OnStopSignal(int) {
    stopRequested = 1;
    if (wakePipe[1] >= 0) {
        const char byte = 0;
        [[maybe_unused]] const ssize_t written = write(wakePipe[1], &byte, 1);
    }
}

// What outlives this connection, for putting it back through a fresh one when this one is
// lost: the display mode this program switched, and the DPMS it turned off.
char displayName[256] = "";
bool modeSwitched = false;
BlankerHold blankerHold;

int OnConnectionLost(Display*) {
    if (modeSwitched || blankerHold.dpmsDisabled) {
        if (Display* fresh = XOpenDisplay(displayName)) {
            if (modeSwitched) RestoreDisplayMode(fresh);
            ReleaseBlanker(fresh, blankerHold);
            XCloseDisplay(fresh);
        }
    }
    _exit(1);  // Xlib ends the program if this returns
}

// Failed requests are silent: a window that went away, a refused mode.
int IgnoreError(Display*, XErrorEvent*) {
    return 0;
}

// The key numbers the portable rules know (those of Windows' virtual keys).
uint32_t KeyNumber(KeySym key) {
    struct Named {
        KeySym key;
        uint32_t number;
    };
    static const Named kNamed[] = {
        {XK_BackSpace, 0x08}, {XK_Tab, 0x09},       {XK_Return, 0x0D},    {XK_Shift_L, 0x10},
        {XK_Shift_R, 0x10},   {XK_Control_L, 0x11}, {XK_Control_R, 0x11}, {XK_Alt_L, 0x12},
        {XK_Alt_R, 0x12},     {XK_Pause, 0x13},     {XK_Escape, 0x1B},    {XK_space, 0x20},
        {XK_Prior, 0x21},     {XK_Next, 0x22},      {XK_End, 0x23},       {XK_Home, 0x24},
        {XK_Left, 0x25},      {XK_Up, 0x26},        {XK_Right, 0x27},     {XK_Down, 0x28},
        {XK_Insert, 0x2D},    {XK_Delete, 0x2E}};
    if (key >= XK_a && key <= XK_z) return 'A' + static_cast<uint32_t>(key - XK_a);
    if (key >= XK_A && key <= XK_Z) return 'A' + static_cast<uint32_t>(key - XK_A);
    if (key >= XK_0 && key <= XK_9) return '0' + static_cast<uint32_t>(key - XK_0);
    if (key >= XK_F1 && key <= XK_F24) return 0x70 + static_cast<uint32_t>(key - XK_F1);
    for (const Named& named : kNamed) {
        if (named.key == key) return named.number;
    }
    return kKeyCount;  // not a key of the table
}

bool HasExtension(const char* list, const char* name) {
    const size_t length = std::strlen(name);
    for (const char* at = list; at != nullptr && (at = std::strstr(at, name)) != nullptr;
         at += length) {
        const bool starts = at == list || at[-1] == ' ';
        if (starts && (at[length] == ' ' || at[length] == '\0')) return true;
    }
    return false;
}

// Asks the swap to wait for the vertical blank where the driver offers it;
// true when it was asked.
bool AskForSwapInterval(Display* display, Window window) {
    const char* extensions = glXQueryExtensionsString(display, DefaultScreen(display));
    if (HasExtension(extensions, "GLX_EXT_swap_control")) {
        using SwapIntervalExt = void (*)(Display*, GLXDrawable, int);
        const auto set = reinterpret_cast<SwapIntervalExt>(
            glXGetProcAddressARB(reinterpret_cast<const GLubyte*>("glXSwapIntervalEXT")));
        if (set != nullptr) {
            set(display, window, 1);
            return true;
        }
    }
    if (HasExtension(extensions, "GLX_MESA_swap_control")) {
        using SwapIntervalMesa = int (*)(unsigned);
        const auto set = reinterpret_cast<SwapIntervalMesa>(
            glXGetProcAddressARB(reinterpret_cast<const GLubyte*>("glXSwapIntervalMESA")));
        return set != nullptr && set(1) == 0;
    }
    return false;
}

// Double-buffered RGBA with the smallest depth buffer of at least 16 bits,
// settling for less where the server offers nothing of the kind.
XVisualInfo* ChooseVisual(Display* display) {
    int full[] = {GLX_RGBA, GLX_DOUBLEBUFFER, GLX_RED_SIZE, 1,   GLX_GREEN_SIZE, 1, GLX_BLUE_SIZE,
                  1,        GLX_DEPTH_SIZE,   16,           None};
    int noDepth[] = {
        GLX_RGBA, GLX_DOUBLEBUFFER, GLX_RED_SIZE, 1, GLX_GREEN_SIZE, 1, GLX_BLUE_SIZE, 1, None};
    int single[] = {GLX_RGBA, GLX_RED_SIZE, 1, GLX_GREEN_SIZE, 1, GLX_BLUE_SIZE, 1, None};
    for (int* attributes : {full, noDepth, single}) {
        if (XVisualInfo* visual = glXChooseVisual(display, DefaultScreen(display), attributes)) {
            return visual;
        }
    }
    return nullptr;
}

// An RGBA visual OpenGL can draw with; a context on any other fails or draws nothing.
bool DrawsWithOpenGl(Display* display, XVisualInfo* visual) {
    int useGl = 0, rgba = 0;
    return glXGetConfig(display, visual, GLX_USE_GL, &useGl) == 0 && useGl &&
           glXGetConfig(display, visual, GLX_RGBA, &rgba) == 0 && rgba;
}

Cursor MakeHiddenCursor(Display* display, Window window) {
    const char empty[1] = {0};
    const Pixmap blank = XCreateBitmapFromData(display, window, empty, 1, 1);
    XColor black{};
    const Cursor cursor = XCreatePixmapCursor(display, blank, blank, &black, &black, 0, 0);
    XFreePixmap(display, blank);
    return cursor;
}

bool WindowManagerRuns(Display* display) {
    const Atom check = XInternAtom(display, "_NET_SUPPORTING_WM_CHECK", True);
    if (check == None) return false;
    Atom type = None;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    XGetWindowProperty(display, DefaultRootWindow(display), check, 0, 1, False, XA_WINDOW, &type,
                       &format, &count, &after, &data);
    if (data != nullptr) XFree(data);
    return type == XA_WINDOW && count == 1;
}

void NameWindow(Display* display, Window window, const std::string& title) {
    XStoreName(display, window, title.c_str());
    XChangeProperty(display, window, XInternAtom(display, "_NET_WM_NAME", False),
                    XInternAtom(display, "UTF8_STRING", False), 8, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(title.data()),
                    static_cast<int>(title.size()));
    XClassHint hint{};
    std::string instance = kInstanceName;
    std::string className = kClassName;
    hint.res_name = instance.data();
    hint.res_class = className.data();
    XSetClassHint(display, window, &hint);
}

// A full-screen window asks a window manager for full screen above the others,
// and the compositor to keep out of the way.
void AskForFullScreen(Display* display, Window window) {
    const Atom states[] = {XInternAtom(display, "_NET_WM_STATE_FULLSCREEN", False),
                           XInternAtom(display, "_NET_WM_STATE_ABOVE", False)};
    XChangeProperty(display, window, XInternAtom(display, "_NET_WM_STATE", False), XA_ATOM, 32,
                    PropModeReplace, reinterpret_cast<const unsigned char*>(states), 2);
    const long bypass = 1;
    XChangeProperty(display, window, XInternAtom(display, "_NET_WM_BYPASS_COMPOSITOR", False),
                    XA_CARDINAL, 32, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(&bypass), 1);
}

// A window manager takes a new screen size in on its own time, and places a window mapped before
// that on the old screen (kwin maximises one that fills it). Wait, briefly, until the size it
// publishes is the screen's, or a whole number of screens for a manager with viewports.
void WaitForManagedScreenSize(Display* display) {
    const Atom property = XInternAtom(display, "_NET_DESKTOP_GEOMETRY", True);
    XWindowAttributes screen{};
    if (property == None || !XGetWindowAttributes(display, DefaultRootWindow(display), &screen)) {
        return;
    }
    constexpr int kTries = 50;
    constexpr timespec kPause{0, 10 * 1000 * 1000};
    for (int tries = 0; tries < kTries; ++tries) {
        Atom type = None;
        int format = 0;
        unsigned long count = 0, after = 0;
        unsigned char* data = nullptr;
        XGetWindowProperty(display, DefaultRootWindow(display), property, 0, 2, False, XA_CARDINAL,
                           &type, &format, &count, &after, &data);
        bool taken = true;  // nothing published, nothing to wait for
        if (data != nullptr && format == 32 && count == 2) {
            const long* size = reinterpret_cast<const long*>(data);
            taken = size[0] > 0 && size[1] > 0 && size[0] % screen.width == 0 &&
                    size[1] % screen.height == 0;
        }
        if (data != nullptr) XFree(data);
        if (taken) return;
        nanosleep(&kPause, nullptr);
    }
}

void WaitUntilMapped(Display* display, Window window) {
    XEvent event;
    do {
        XWindowEvent(display, window, StructureNotifyMask, &event);
    } while (event.type != MapNotify);
}
}  // namespace

bool InstallStopSignals() {
    if (pipe(wakePipe) != 0) return false;
    for (const int fd : wakePipe) {
        fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) | O_NONBLOCK);
        fcntl(fd, F_SETFD, FD_CLOEXEC);
    }
    struct sigaction action {};
    action.sa_handler = OnStopSignal;
    sigemptyset(&action.sa_mask);
    for (const int signal : {SIGTERM, SIGINT, SIGHUP}) {
        if (sigaction(signal, &action, nullptr) != 0) return false;
    }
    return true;
}

uint32_t X11RendererPlatform::TickCount() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<uint32_t>(static_cast<uint64_t>(now.tv_sec) * 1000u +
                                 static_cast<uint64_t>(now.tv_nsec) / 1000000u);
}

bool X11RendererPlatform::OpenWindowSystem() {
    display_ = XOpenDisplay(nullptr);
    if (display_ == nullptr) {
        const char* name = XDisplayName(nullptr);
        std::fprintf(stderr, "%s: cannot open display \"%s\"\n", kInstanceName, name);
        return false;
    }
    XSetErrorHandler(IgnoreError);
    XSetIOErrorHandler(OnConnectionLost);
    // Without the extension the GLX calls would crash in the client library.
    int errorBase = 0, eventBase = 0;
    if (!glXQueryExtension(display_, &errorBase, &eventBase)) {
        std::fprintf(stderr, "%s: the X server on \"%s\" has no GLX extension (OpenGL)\n",
                     kInstanceName, DisplayString(display_));
        XCloseDisplay(display_);
        display_ = nullptr;
        return false;
    }
    wmProtocols_ = XInternAtom(display_, "WM_PROTOCOLS", False);
    wmDeleteWindow_ = XInternAtom(display_, "WM_DELETE_WINDOW", False);
    modeSwitch_ = XInternAtom(display_, kModeSwitchAtom, False);
    std::snprintf(displayName, sizeof displayName, "%s", DisplayString(display_));
    if (options_.target == DrawTarget::kOwnWindow) {
        blankerHold = HoldOffBlanker(display_);
        watchingLayout_ = WatchMonitorLayout(display_, randrEventBase_);
    }
    return true;
}

void X11RendererPlatform::CloseWindowSystem() {
    ReleaseBlanker(display_, blankerHold);
    XCloseDisplay(display_);
    display_ = nullptr;
}

bool X11RendererPlatform::CreateRendererWindow(RendererRun& run) {
    quitPosted_ = false;
    const bool created =
        options_.target == DrawTarget::kOwnWindow ? CreateOwnWindow(run) : UseGivenWindow(run);
    if (!created) return false;
    run.window.visible = 1;
    SetDisplayPacing(run.pacer, PrimaryRefreshRate(display_),
                     AskForSwapInterval(display_, window_));
    return true;
}

bool X11RendererPlatform::MakeContext(XVisualInfo* visual) {
    context_ = glXCreateContext(display_, visual, nullptr, True);
    if (context_ == nullptr) return false;
    if (!glXMakeCurrent(display_, window_, context_)) {
        glXDestroyContext(display_, context_);
        context_ = nullptr;
        return false;
    }
    return true;
}

bool X11RendererPlatform::CreateOwnWindow(RendererRun& run) {
    // Chosen before the mode is switched, which would outlive a renderer that cannot draw.
    XVisualInfo* visual = ChooseVisual(display_);
    if (visual == nullptr) {
        std::fprintf(stderr, "%s: the X server offers no OpenGL visual\n", kInstanceName);
        return false;
    }
    RendererWindow& window = run.window;
    const bool wanted = window.fullScreen != 0;
    const bool switched = wanted && SwitchDisplayMode(display_, window.width, window.height);
    if (wanted && !switched) window.fullScreen = 0;
    modeSwitched = switched;
    const WindowFrame frame = ChooseWindowFrame(wanted, switched);

    // The full-screen window lies over the switched output; the others at (0, 0)
    // with the requested size (a window manager adds its frame outside).
    OutputArea area{0, 0, window.width, window.height};
    if (frame.coversScreen) PrimaryOutputArea(display_, area);
    width_ = area.width;
    height_ = area.height;

    const Window root = RootWindow(display_, visual->screen);
    colormap_ = XCreateColormap(display_, root, visual->visual, AllocNone);
    XSetWindowAttributes attributes{};
    attributes.colormap = colormap_;
    attributes.background_pixel = BlackPixel(display_, visual->screen);
    attributes.border_pixel = 0;
    // Clicks are taken and dropped: they end nothing and reach nothing beneath.
    attributes.event_mask = KeyPressMask | KeyReleaseMask | ButtonPressMask | ButtonReleaseMask |
                            StructureNotifyMask | VisibilityChangeMask;
    // Without a window manager to keep it on top, the window bypasses management.
    attributes.override_redirect = frame.coversScreen && !WindowManagerRuns(display_);
    window_ = XCreateWindow(
        display_, root, area.x, area.y, static_cast<unsigned>(area.width),
        static_cast<unsigned>(area.height), 0, visual->depth, InputOutput, visual->visual,
        CWColormap | CWBackPixel | CWBorderPixel | CWEventMask | CWOverrideRedirect, &attributes);
    ownWindow_ = true;
    NameWindow(display_, window_, window.title);
    XSetWMProtocols(display_, window_, &wmDeleteWindow_, 1);
    XSizeHints hints{};
    hints.flags = USPosition | USSize;
    hints.x = area.x;
    hints.y = area.y;
    hints.width = area.width;
    hints.height = area.height;
    XSetWMNormalHints(display_, window_, &hints);
    if (frame.topmost) AskForFullScreen(display_, window_);
    if (frame.hideCursor) {
        hiddenCursor_ = MakeHiddenCursor(display_, window_);
        XDefineCursor(display_, window_, hiddenCursor_);
    }

    const bool current = MakeContext(visual);
    XFree(visual);
    if (!current) {
        std::fprintf(stderr, "%s: no OpenGL context on its window\n", kInstanceName);
        DestroyRendererWindow(run);  // and the mode back
        return false;
    }
    if (!attributes.override_redirect) WaitForManagedScreenSize(display_);
    XMapRaised(display_, window_);
    WaitUntilMapped(display_, window_);
    if (attributes.override_redirect)
        XSetInputFocus(display_, window_, RevertToParent, CurrentTime);
    if (frame.coversScreen) CoverOtherMonitors({area.x, area.y, area.width, area.height});
    return true;
}

void X11RendererPlatform::CoverOtherMonitors(const MonitorArea& drawn) {
    if (!watchingLayout_) return;
    // The drawn monitor is the one under the window, wherever the switch left the primary one.
    drawn_ = drawn;
    coverWindows_ = std::make_unique<X11CoverWindows>(display_, hiddenCursor_);
    covers_ = std::make_unique<MonitorCovers>(*coverWindows_);
    covers_->Follow(MonitorLayout(display_), drawn_);
}

bool X11RendererPlatform::UseGivenWindow(RendererRun& run) {
    const Window target = options_.target == DrawTarget::kRootWindow
                              ? DefaultRootWindow(display_)
                              : static_cast<Window>(options_.windowId);
    XWindowAttributes attributes{};
    if (!XGetWindowAttributes(display_, target, &attributes)) {
        std::fprintf(stderr, "%s: no window 0x%lx\n", kInstanceName, target);
        return false;
    }
    window_ = target;
    ownWindow_ = false;
    modeSwitched = false;
    // Follow its size and its end; the window stays its maker's.
    XSelectInput(display_, window_, StructureNotifyMask);
    width_ = run.window.width = attributes.width;
    height_ = run.window.height = attributes.height;
    run.window.fullScreen = 0;

    XVisualInfo wanted{};
    wanted.visualid = XVisualIDFromVisual(attributes.visual);
    int count = 0;
    XVisualInfo* visual = XGetVisualInfo(display_, VisualIDMask, &wanted, &count);
    const bool current = visual != nullptr && attributes.c_class == InputOutput &&
                         DrawsWithOpenGl(display_, visual) && MakeContext(visual);
    if (visual != nullptr) XFree(visual);
    if (!current) std::fprintf(stderr, "%s: no OpenGL on window 0x%lx\n", kInstanceName, target);
    return current;
}

void X11RendererPlatform::DestroyRendererWindow(RendererRun& run) {
    covers_.reset();
    coverWindows_.reset();
    if (context_ != nullptr) {
        glXMakeCurrent(display_, None, nullptr);
        glXDestroyContext(display_, context_);
        context_ = nullptr;
        fontBase_ = 0;  // the glyph lists went with the context
    }
    if (ownWindow_ && window_ != 0) {
        XDestroyWindow(display_, window_);
        XFreeColormap(display_, colormap_);
    }
    window_ = 0;
    if (hiddenCursor_ != 0) {
        XFreeCursor(display_, hiddenCursor_);
        hiddenCursor_ = 0;
    }
    if (run.window.fullScreen && modeSwitched) {
        RestoreDisplayMode(display_);
        modeSwitched = false;
    }
    XSync(display_, False);
}

RendererEvent X11RendererPlatform::Translate(const XEvent& event) {
    RendererEvent translated;
    // Left over from a rebuilt window; a cover's keys count as the window's own.
    const bool fromCover = covers_ && covers_->IsCover(event.xany.window);
    if (event.xany.window != window_ && !fromCover) return translated;
    switch (event.type) {
        case KeyPress:
        case KeyRelease: {
            XKeyEvent key = event.xkey;
            translated.key = KeyNumber(XLookupKeysym(&key, 0));
            if (translated.key < static_cast<uint32_t>(kKeyCount)) {
                translated.kind = event.type == KeyPress ? RendererEventKind::kKeyDown
                                                         : RendererEventKind::kKeyUp;
            }
            break;
        }
        case ConfigureNotify:
            if (event.xconfigure.width != width_ || event.xconfigure.height != height_) {
                width_ = event.xconfigure.width;
                height_ = event.xconfigure.height;
                translated = {RendererEventKind::kResized, width_, height_, 0};
            }
            break;
        case MapNotify:
            translated = {RendererEventKind::kResized, width_, height_, 0};
            break;
        case UnmapNotify:
            translated.kind = RendererEventKind::kMinimised;
            break;
        case DestroyNotify:
            translated.kind = RendererEventKind::kCloseRequested;
            break;
        case VisibilityNotify:
            // Another window came over the full-screen one or a cover: back on top.
            if (hiddenCursor_ != 0 && event.xvisibility.state != VisibilityUnobscured) {
                XRaiseWindow(display_, event.xany.window);
            }
            break;
        case ClientMessage:
            if (event.xclient.message_type == wmProtocols_ &&
                static_cast<Atom>(event.xclient.data.l[0]) == wmDeleteWindow_) {
                translated.kind = RendererEventKind::kCloseRequested;
            } else if (event.xclient.message_type == modeSwitch_ && ownWindow_) {
                translated.kind = RendererEventKind::kModeSwitch;
            }
            break;
        default:
            break;
    }
    return translated;
}

EventStep X11RendererPlatform::HandleNextEvent(RendererRun& run) {
    if (stopRequested) {
        run.flags.keepRunning = false;
        return EventStep::kQuit;
    }
    if (quitPosted_) {
        quitPosted_ = false;
        return EventStep::kQuit;
    }
    if (XPending(display_) == 0) return EventStep::kNoneWaiting;
    XEvent event;
    XNextEvent(display_, &event);
    if (watchingLayout_ && IsLayoutChange(event, randrEventBase_)) {
        // The switch itself changes the layout too: the covers follow whatever it has become.
        if (covers_) covers_->Follow(MonitorLayout(display_), drawn_);
        return EventStep::kHandled;
    }
    const EventAction action = HandleRendererEvent(run, Translate(event));
    if (action.reshape) ReshapeView(gl_, action.width, action.height);
    if (action.postQuit) quitPosted_ = true;
    return EventStep::kHandled;
}

void X11RendererPlatform::WaitForEvent(int64_t timeoutUs) {
    XFlush(display_);
    if (stopRequested || quitPosted_ || XPending(display_) > 0) return;
    pollfd sources[2] = {{ConnectionNumber(display_), POLLIN, 0}, {wakePipe[0], POLLIN, 0}};
    timespec timeout{};
    timeout.tv_sec = static_cast<time_t>(timeoutUs / 1000000);
    timeout.tv_nsec = static_cast<long>(timeoutUs % 1000000) * 1000;
    ppoll(sources, wakePipe[0] >= 0 ? 2 : 1, timeoutUs < 0 ? nullptr : &timeout, nullptr);
}

void X11RendererPlatform::SwapBuffers() {
    if (options_.showFps) DrawFrameRate();
    glXSwapBuffers(display_, window_);
}

void X11RendererPlatform::DrawFrameRate() {
    constexpr int kFirstGlyph = 32;
    constexpr int kGlyphCount = 96;
    if (fontBase_ == 0) {
        XFontStruct* font = XLoadQueryFont(display_, "fixed");
        if (font == nullptr) return;
        fontBase_ = glGenLists(kGlyphCount);
        glXUseXFont(font->fid, kFirstGlyph, kGlyphCount, static_cast<int>(fontBase_));
        XFreeFont(display_, font);
        fpsSinceTick_ = TickCount();
        fpsFrames_ = 0;
    }
    ++fpsFrames_;
    const uint32_t now = TickCount();
    const uint32_t elapsed = TicksBetween(fpsSinceTick_, now);
    if (elapsed >= 1000) {
        char text[32];
        std::snprintf(text, sizeof text, "%.1f fps", fpsFrames_ * 1000.0 / elapsed);
        fpsText_ = text;
        fpsSinceTick_ = now;
        fpsFrames_ = 0;
    }
    if (fpsText_.empty()) return;

    glPushAttrib(GL_ENABLE_BIT | GL_CURRENT_BIT | GL_LIST_BIT | GL_TRANSFORM_BIT);
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_BLEND);
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    glOrtho(0, width_, 0, height_, -1, 1);
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();
    glColor3f(1.0f, 1.0f, 1.0f);
    glRasterPos2i(8, 8);
    glListBase(fontBase_ - kFirstGlyph);
    glCallLists(static_cast<GLsizei>(fpsText_.size()), GL_UNSIGNED_BYTE, fpsText_.data());
    glPopMatrix();
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glPopAttrib();
}
