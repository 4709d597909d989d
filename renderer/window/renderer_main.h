#pragma once
// The renderer's entry procedure, window procedure decisions and frame loop,
// apart from the platform that makes the window, the context and the calls.

#include <cstdint>
#include <string>

#include "renderer/scene/gl_sink.h"
#include "renderer/scene/line_scene.h"

// The window's message interface (numbers as the message queue carries them).
namespace msg {
constexpr uint32_t kCreate = 0x0001;
constexpr uint32_t kSize = 0x0005;
constexpr uint32_t kClose = 0x0010;
constexpr uint32_t kQuit = 0x0012;
constexpr uint32_t kKeyDown = 0x0100;
constexpr uint32_t kKeyUp = 0x0101;
constexpr uint32_t kSysCommand = 0x0112;
constexpr uint32_t kModeSwitch = 0x0400 + 1;  // toggles full-screen and windowed mode

constexpr uint32_t kSizeRestored = 0;
constexpr uint32_t kSizeMinimized = 1;
constexpr uint32_t kSizeMaximized = 2;
constexpr uint32_t kScreenSave = 0xF140;
constexpr uint32_t kMonitorPower = 0xF170;
}  // namespace msg

// Window styles the frame choice hands to the platform.
namespace style {
constexpr uint32_t kOverlappedWindow = 0x00CF0000;
constexpr uint32_t kPopup = 0x80000000;
constexpr uint32_t kExAppWindow = 0x00040000;
constexpr uint32_t kExTopmost = 0x00000008;
}  // namespace style

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

// Everything the entry procedure owns for the whole run.
struct RendererRun {
    RendererWindow window;
    RendererFlags flags;
    int32_t keyStates[kKeyCount] = {};
    Scene scene;
};

// What a platform provides to the renderer.
class RendererPlatform : public TickSource {
  public:
    virtual bool RegisterRendererClass() = 0;
    virtual void UnregisterRendererClass() = 0;
    // Switches the display mode when run.window.fullScreen asks for it (clearing
    // the flag when the switch fails), then creates and shows the window with a
    // current OpenGL context. On failure releases what it acquired.
    virtual bool CreateRendererWindow(RendererRun& run) = 0;
    // Releases context, device context and window, then restores the display mode.
    virtual void DestroyRendererWindow(RendererRun& run) = 0;
    // Removes the next message for the window; false when none is waiting.
    virtual bool TakeMessage(uint32_t& message) = 0;
    virtual void DispatchTakenMessage() = 0;
    virtual void WaitForMessage() = 0;
    virtual void SwapBuffers() = 0;
    virtual void PostQuitToWindow() = 0;
    virtual GlSink& Gl() = 0;
};

// Style of the window to create, given whether full screen was wanted and
// whether the display mode switch succeeded.
struct WindowFrame {
    uint32_t style;
    uint32_t exStyle;
    bool sizeIsClientArea;  // adjust the rectangle so that the client area has the size
    bool hideCursor;
};
WindowFrame ChooseWindowFrame(bool fullScreenWanted, bool modeSwitched);

// The outcome of one window message for the platform to carry out.
struct MessageAction {
    bool handled = false;  // return 0; otherwise default processing
    bool reshape = false;
    int width = 0;
    int height = 0;
    bool postQuit = false;
};
MessageAction HandleRendererMessage(RendererRun& run, uint32_t message, uint32_t wParam,
                                    uint32_t lParam);

void ReshapeView(GlSink& gl, int width, int height);
void RequestQuit(RendererRun& run, RendererPlatform& platform);
// Milliseconds between two tick counts, right across the counter's wrap.
inline uint32_t TicksBetween(uint32_t earlier, uint32_t later) {
    return later - earlier;
}

int RendererMain(RendererPlatform& platform, RendererRun& run);
