#include "renderer/window/renderer_main.h"

#include <algorithm>

namespace {
constexpr int kLastKey = kKeyCount - 1;

class QuitFromScene final : public QuitRequest {
  public:
    QuitFromScene(RendererRun& run, RendererPlatform& platform) : run_(run), platform_(platform) {}
    void RequestQuit() override { ::RequestQuit(run_, platform_); }

  private:
    RendererRun& run_;
    RendererPlatform& platform_;
};

void RunFrame(RendererRun& run, RendererPlatform& platform) {
    const uint32_t tick = platform.TickCount();
    UpdateScene(run.scene, TicksBetween(run.window.lastTick, tick));
    run.window.lastTick = tick;
    DrawScene(run.scene, platform.Gl());
    platform.SwapBuffers();
}
}  // namespace

WindowFrame ChooseWindowFrame(bool fullScreenWanted, bool modeSwitched) {
    if (modeSwitched) return {style::kPopup, style::kExAppWindow | style::kExTopmost, false, true};
    return {style::kOverlappedWindow, style::kExAppWindow, !fullScreenWanted, false};
}

MessageAction HandleRendererMessage(RendererRun& run, uint32_t message, uint32_t wParam,
                                    uint32_t lParam) {
    MessageAction action;
    switch (message) {
        case msg::kSize:
            if (wParam == msg::kSizeMinimized) {
                run.window.visible = 0;
                action.handled = true;
            } else if (wParam == msg::kSizeRestored || wParam == msg::kSizeMaximized) {
                run.window.visible = 1;
                action.handled = true;
                action.reshape = true;
                action.width = static_cast<int>(lParam & 0xFFFFu);
                action.height = static_cast<int>(lParam >> 16);
            }
            break;
        case msg::kClose:
            run.flags.keepRunning = false;
            action.postQuit = true;
            action.handled = true;
            break;
        case msg::kKeyDown:
        case msg::kKeyUp:
            if (wParam <= kLastKey) {
                run.keyStates[wParam] = message == msg::kKeyDown ? 1 : 0;
                action.handled = true;
            }
            break;
        case msg::kSysCommand:
            action.handled = wParam == msg::kScreenSave || wParam == msg::kMonitorPower;
            break;
        case msg::kModeSwitch:
            // The toggle reads the wish, not the outcome: after a failed switch to
            // full screen the first toggle asks for windowed mode.
            run.flags.wantFullScreen = run.flags.wantFullScreen != 1 ? 1 : 0;
            action.postQuit = true;
            break;
        default:
            break;
    }
    return action;
}

void ReshapeView(GlSink& gl, int width, int height) {
    gl.Viewport(0, 0, width, height);
    gl.MatrixMode(gl::kProjection);
    gl.LoadIdentity();
    // A zero height would make the aspect infinite; the bands do not use this
    // projection, so a square aspect is as good as any.
    const double aspect = height != 0 ? static_cast<double>(width) / height : 1.0;
    gl.Perspective(45.0, aspect, 1.0, 100.0);
    gl.MatrixMode(gl::kModelView);
    gl.LoadIdentity();
}

void RequestQuit(RendererRun& run, RendererPlatform& platform) {
    platform.PostQuitToWindow();
    run.flags.keepRunning = false;
}

int RendererMain(RendererPlatform& platform, RendererRun& run) {
    std::fill(std::begin(run.keyStates), std::end(run.keyStates), 0);
    if (!platform.RegisterRendererClass()) return -1;
    run.flags.keepRunning = true;
    run.flags.wantFullScreen = run.window.fullScreen;
    QuitFromScene quit(run, platform);

    while (run.flags.keepRunning) {
        run.window.fullScreen = run.flags.wantFullScreen;
        if (!platform.CreateRendererWindow(run)) {
            run.flags.keepRunning = false;
            continue;
        }
        ReshapeView(platform.Gl(), run.window.width, run.window.height);
        std::fill(std::begin(run.keyStates), std::end(run.keyStates), 0);
        // The first frame measures its time from the window's creation.
        run.window.lastTick = platform.TickCount();
        InitScene(run.scene, platform.Gl(), run.keyStates, quit, platform);

        for (;;) {
            uint32_t message = 0;
            if (platform.TakeMessage(message)) {
                if (message == msg::kQuit) break;
                platform.DispatchTakenMessage();
            } else if (run.window.visible) {
                RunFrame(run, platform);
            } else {
                platform.WaitForMessage();
            }
        }
        platform.DestroyRendererWindow(run);
    }
    platform.UnregisterRendererClass();
    return 0;
}
