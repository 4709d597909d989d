#pragma once
// The renderer's entry procedure, event decisions and frame loop, apart from
// the platform that makes the window, the context and the calls.

#include <cstdint>
#include <string>

#include "renderer/scene/gl_sink.h"
#include "renderer/scene/line_scene.h"
#include "renderer/window/frame_pacer.h"

struct RendererWindow {
    std::string title = "Lumen_Ribbon_VC";
    int32_t width = 1024;
    int32_t height = 768;
    int32_t colourDepth = 16;
    int32_t fullScreen = 1;
    int32_t visible = 0;
    uint32_t lastTick = 0;
};

struct RendererFlags {
    bool keepRunning = false;  // while true the window is rebuilt after its loop ends
    int32_t wantFullScreen = 1;
};

// What a key's press waits for: the scene reads the key table once per frame, so a press
// stays in it until a frame has seen it, and a release that comes sooner waits for that frame.
enum class KeyLatch : uint8_t {
    kNone,
    kPressUnseen,
    kReleaseWaiting,  // pressed and released since the last frame
};

// Everything the entry procedure owns for the whole run.
struct RendererRun {
    RendererWindow window;
    RendererFlags flags;
    int32_t keyStates[kKeyCount] = {};
    KeyLatch keyLatches[kKeyCount] = {};
    Scene scene;
    FramePacer pacer;
    bool windowFailed = false;  // the run ended because a window could not be made
};

// What happened to the window, as each platform translates its own events.
enum class RendererEventKind {
    kOther,
    kResized,         // shown or resized: width, height
    kMinimised,       // hidden: no frames until it is shown again
    kCloseRequested,  // the user or another program closes the window
    kKeyDown,         // key: the key number, 0 to 255
    kKeyUp,
    kModeSwitch,    // toggle full-screen and windowed mode
    kPowerOrSaver,  // the system wants to start a screen saver or power the monitor down
};

struct RendererEvent {
    RendererEventKind kind = RendererEventKind::kOther;
    int width = 0;
    int height = 0;
    uint32_t key = 0;
};

// The outcome of one event for the platform to carry out.
struct EventAction {
    bool handled = false;  // consumed; otherwise the platform's default processing follows
    bool reshape = false;
    int width = 0;
    int height = 0;
    bool postQuit = false;
};
EventAction HandleRendererEvent(RendererRun& run, const RendererEvent& event);
// After the scene has read the key table for a frame: the releases that waited for it apply.
void KeysSeenByFrame(RendererRun& run);

enum class EventStep {
    kNoneWaiting,
    kHandled,
    kQuit,  // the window's loop ends
};

// What a platform provides to the renderer.
class RendererPlatform : public TickSource {
  public:
    // Acquires what every window of the run shares: the window class on Windows, the display
    // connection on X.
    virtual bool OpenWindowSystem() = 0;
    virtual void CloseWindowSystem() = 0;
    // Switches the display mode when run.window.fullScreen asks for it (clearing
    // the flag when the switch fails), then creates and shows the window with a
    // current OpenGL context and tells run.pacer how the display paces frames.
    // On failure releases the context and window it made, in reverse order, and the run ends;
    // a display mode that would outlive the program is put back too (on X), while the mode
    // Windows switched for full screen goes with the process.
    virtual bool CreateRendererWindow(RendererRun& run) = 0;
    // Releases context and window, then restores the display mode.
    virtual void DestroyRendererWindow(RendererRun& run) = 0;
    // Takes the next waiting event and handles it (through HandleRendererEvent).
    virtual EventStep HandleNextEvent(RendererRun& run) = 0;
    // Blocks until an event arrives, or at most timeoutUs when that is not negative.
    virtual void WaitForEvent(int64_t timeoutUs) = 0;
    virtual void SwapBuffers() = 0;
    // Makes HandleNextEvent report the quit soon (on Win32: after the messages
    // already queued).
    virtual void PostQuitToWindow() = 0;
    virtual GlSink& Gl() = 0;
};

// How the window to create looks, given whether full screen was wanted and
// whether the display mode switch succeeded.
struct WindowFrame {
    bool coversScreen;      // borderless, over the whole switched display
    bool topmost;           // stays above other windows
    bool sizeIsClientArea;  // the drawing area, not the outer window, gets the size
    bool hideCursor;
};
WindowFrame ChooseWindowFrame(bool fullScreenWanted, bool modeSwitched);

void ReshapeView(GlSink& gl, int width, int height);
// The steps of a window's run that every platform takes, whether it runs RendererMain's loop or
// is called back for each frame (a browser): the view, keys, clock and scene of a new window,
// seeding the line sets from seeds; then each frame, drawn at the given tick.
void StartWindowScene(RendererRun& run, GlSink& gl, TickSource& seeds, QuitRequest& quit,
                      uint32_t tick);
void DrawFrame(RendererRun& run, GlSink& gl, uint32_t tick);
void RequestQuit(RendererRun& run, RendererPlatform& platform);
// Milliseconds between two tick counts, right across the counter's wrap.
inline uint32_t TicksBetween(uint32_t earlier, uint32_t later) {
    return later - earlier;
}

// -1 when the window system could not be opened, otherwise 0, also after a window that could
// not be made (run.windowFailed tells that apart).
int RendererMain(RendererPlatform& platform, RendererRun& run);
