#include "renderer/window/renderer_main.h"

#include <algorithm>

namespace {
constexpr uint32_t kLastKey = kKeyCount - 1;

class QuitFromScene final : public QuitRequest {
  public:
    QuitFromScene(RendererRun& run, RendererPlatform& platform) : run_(run), platform_(platform) {}
    void RequestQuit() override { ::RequestQuit(run_, platform_); }

  private:
    RendererRun& run_;
    RendererPlatform& platform_;
};

void ClearKeys(RendererRun& run) {
    std::fill(std::begin(run.keyStates), std::end(run.keyStates), 0);
    std::fill(std::begin(run.keyLatches), std::end(run.keyLatches), KeyLatch::kNone);
}

void RunFrame(RendererRun& run, RendererPlatform& platform) {
    DrawFrame(run, platform.Gl(), platform.TickCount());
    platform.SwapBuffers();
    FrameDrawn(run.pacer, platform.TickCount());
}

// Handles what is waiting, draws a frame when one is due, and otherwise waits
// for an event or the next frame. False once the window's loop has ended.
bool LoopStep(RendererRun& run, RendererPlatform& platform) {
    switch (platform.HandleNextEvent(run)) {
        case EventStep::kQuit:
            return false;
        case EventStep::kHandled:
            return true;
        case EventStep::kNoneWaiting:
            break;
    }
    if (!run.window.visible) {
        platform.WaitForEvent(-1);
        return true;
    }
    const int64_t waitUs = FrameWaitUs(run.pacer, platform.TickCount());
    if (waitUs > 0) {
        platform.WaitForEvent(waitUs);
    } else {
        RunFrame(run, platform);
    }
    return true;
}
}  // namespace

WindowFrame ChooseWindowFrame(bool fullScreenWanted, bool modeSwitched) {
    if (modeSwitched) return {true, true, false, true};
    return {false, false, !fullScreenWanted, false};
}

EventAction HandleRendererEvent(RendererRun& run, const RendererEvent& event) {
    EventAction action;
    switch (event.kind) {
        case RendererEventKind::kMinimised:
            run.window.visible = 0;
            action.handled = true;
            break;
        case RendererEventKind::kResized:
            run.window.visible = 1;
            action.handled = true;
            action.reshape = true;
            action.width = event.width;
            action.height = event.height;
            break;
        case RendererEventKind::kCloseRequested:
            run.flags.keepRunning = false;
            action.postQuit = true;
            action.handled = true;
            break;
        case RendererEventKind::kKeyDown:
            if (event.key <= kLastKey) {
                run.keyStates[event.key] = 1;
                run.keyLatches[event.key] = KeyLatch::kPressUnseen;
                action.handled = true;
            }
            break;
        case RendererEventKind::kKeyUp:
            if (event.key <= kLastKey) {
                if (run.keyLatches[event.key] == KeyLatch::kNone) {
                    run.keyStates[event.key] = 0;
                } else {
                    run.keyLatches[event.key] = KeyLatch::kReleaseWaiting;
                }
                action.handled = true;
            }
            break;
        case RendererEventKind::kPowerOrSaver:
            action.handled = true;  // refused while the animation runs
            break;
        case RendererEventKind::kModeSwitch:
            // The toggle reads the wish, not the outcome: after a failed switch to
            // full screen the first toggle asks for windowed mode.
            run.flags.wantFullScreen = run.flags.wantFullScreen != 1 ? 1 : 0;
            action.postQuit = true;
            break;
        case RendererEventKind::kOther:
            break;
    }
    return action;
}

void KeysSeenByFrame(RendererRun& run) {
    for (int key = 0; key < kKeyCount; ++key) {
        if (run.keyLatches[key] == KeyLatch::kReleaseWaiting) run.keyStates[key] = 0;
        run.keyLatches[key] = KeyLatch::kNone;
    }
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

void StartWindowScene(RendererRun& run, GlSink& gl, TickSource& seeds, QuitRequest& quit,
                      uint32_t tick) {
    ReshapeView(gl, run.window.width, run.window.height);
    ClearKeys(run);
    // The first frame measures its time from the window's creation.
    run.window.lastTick = tick;
    StartPacing(run.pacer, tick);
    InitScene(run.scene, gl, run.keyStates, quit, seeds);
}

void DrawFrame(RendererRun& run, GlSink& gl, uint32_t tick) {
    UpdateScene(run.scene, TicksBetween(run.window.lastTick, tick));
    KeysSeenByFrame(run);
    run.window.lastTick = tick;
    DrawScene(run.scene, gl);
}

void RequestQuit(RendererRun& run, RendererPlatform& platform) {
    platform.PostQuitToWindow();
    run.flags.keepRunning = false;
}

int RendererMain(RendererPlatform& platform, RendererRun& run) {
    ClearKeys(run);
    if (!platform.OpenWindowSystem()) return -1;
    run.flags.keepRunning = true;
    run.flags.wantFullScreen = run.window.fullScreen;
    QuitFromScene quit(run, platform);

    while (run.flags.keepRunning) {
        run.window.fullScreen = run.flags.wantFullScreen;
        if (!platform.CreateRendererWindow(run)) {
            run.windowFailed = true;
            run.flags.keepRunning = false;
            continue;
        }
        StartWindowScene(run, platform.Gl(), platform, quit, platform.TickCount());

        while (LoopStep(run, platform)) {
        }
        platform.DestroyRendererWindow(run);
    }
    platform.CloseWindowSystem();
    return 0;
}
