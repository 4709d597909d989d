#pragma once
// The renderer's window, display mode and GLX context on X11: its own
// full-screen window, or (as an XScreenSaver hack) a window another program made.

#include <GL/glx.h>
#include <X11/Xlib.h>

#include <memory>
#include <string>

#include "renderer/scene/opengl_sink.h"
#include "renderer/window/monitor_covers.h"
#include "renderer/window/renderer_main.h"
#include "renderer/window/renderer_options.h"
#include "renderer/window/x11_monitor_covers.h"

class X11RendererPlatform final : public RendererPlatform {
  public:
    explicit X11RendererPlatform(const RendererOptions& options) : options_(options) {}

    uint32_t TickCount() override;
    bool OpenWindowSystem() override;
    void CloseWindowSystem() override;
    bool CreateRendererWindow(RendererRun& run) override;
    void DestroyRendererWindow(RendererRun& run) override;
    EventStep HandleNextEvent(RendererRun& run) override;
    void WaitForEvent(int64_t timeoutUs) override;
    void SwapBuffers() override;
    void PostQuitToWindow() override { quitPosted_ = true; }
    GlSink& Gl() override { return gl_; }

  private:
    bool CreateOwnWindow(RendererRun& run);
    bool UseGivenWindow(RendererRun& run);
    bool MakeContext(XVisualInfo* visual);
    RendererEvent Translate(const XEvent& event);
    void CoverOtherMonitors(const MonitorArea& drawn);
    void DrawFrameRate();

    RendererOptions options_;
    Display* display_ = nullptr;
    Window window_ = 0;
    bool ownWindow_ = false;
    Colormap colormap_ = 0;
    Cursor hiddenCursor_ = 0;
    GLXContext context_ = nullptr;
    bool quitPosted_ = false;
    int width_ = 0;
    int height_ = 0;
    Atom wmProtocols_ = 0;
    Atom wmDeleteWindow_ = 0;
    Atom modeSwitch_ = 0;
    // While full screen, black covers over the other monitors, following RandR's notifications.
    bool watchingLayout_ = false;
    int randrEventBase_ = 0;
    MonitorArea drawn_;
    std::unique_ptr<X11CoverWindows> coverWindows_;
    std::unique_ptr<MonitorCovers> covers_;
    // The frame-rate corner: glyph display lists and the figure shown.
    unsigned fontBase_ = 0;
    uint32_t fpsSinceTick_ = 0;
    int fpsFrames_ = 0;
    std::string fpsText_;
    OpenGlSink gl_;
};

// SIGTERM, SIGINT and SIGHUP end the run through its normal way out, so the
// display mode is restored; false when the handlers could not be set up.
bool InstallStopSignals();
