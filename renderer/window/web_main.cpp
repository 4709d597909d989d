// The renderer as a web page: the scene drawn into the page's canvas with WebGL 2 on the
// browser's animation frames, the canvas at the device's pixel ratio, full screen on a click or
// a key, and left on a click or Escape, as Escape ends a run elsewhere.

#include <emscripten/emscripten.h>
#include <emscripten/html5.h>

#include <cmath>
#include <cstdint>
#include <cstdio>

#include "renderer/scene/gles_sink.h"
#include "renderer/window/page_settings.h"
#include "renderer/window/renderer_main.h"

namespace {
constexpr const char* kCanvas = "#canvas";

EM_JS(void, EnterFullScreen, (), {
    const page = document.documentElement;
    if (!document.fullscreenElement && page.requestFullscreen) {
        page.requestFullscreen().catch(function(){});
    }
});

EM_JS(void, LeaveFullScreen, (), {
    if (document.fullscreenElement) document.exitFullscreen().catch(function(){});
});

EM_JS(int, IsFullScreen, (), { return document.fullscreenElement ? 1 : 0; });

EM_JS(void, ShowPageText, (const char* text), {
    const message = document.getElementById("message");
    if (message) message.textContent = UTF8ToString(text);
});

// Formatted here rather than with printf, which would make the page's code a fifth larger.
EM_JS(void, ShowFramesPerSecond, (double rate), {
    const message = document.getElementById("message");
    if (message) message.textContent = rate.toFixed(1) + " fps";
});

class BrowserClock final : public TickSource {
  public:
    uint32_t TickCount() override {
        return static_cast<uint32_t>(static_cast<uint64_t>(emscripten_get_now()));
    }
};

class LeaveFullScreenOnQuit final : public QuitRequest {
  public:
    void RequestQuit() override { LeaveFullScreen(); }
};

struct Page {
    PageSettings settings;
    RendererRun run;
    GlesSink gl;
    BrowserClock clock;
    LeaveFullScreenOnQuit quit;
    uint32_t startTick = 0;
    uint32_t framesDrawn = 0;
    uint32_t fpsSinceTick = 0;
    uint32_t fpsFrames = 0;
};

// Once a second, the frames drawn in it.
void ShowFrameRate(Page& page, uint32_t now) {
    ++page.fpsFrames;
    const uint32_t elapsed = TicksBetween(page.fpsSinceTick, now);
    if (elapsed < 1000) return;
    ShowFramesPerSecond(page.fpsFrames * 1000.0 / elapsed);
    page.fpsSinceTick = now;
    page.fpsFrames = 0;
}

// The canvas keeps the size the page gives it, in device pixels. True when that changed.
bool FitCanvas(Page& page) {
    double cssWidth = 0;
    double cssHeight = 0;
    emscripten_get_element_css_size(kCanvas, &cssWidth, &cssHeight);
    const double ratio = emscripten_get_device_pixel_ratio();
    const int width = static_cast<int>(std::lround(cssWidth * ratio));
    const int height = static_cast<int>(std::lround(cssHeight * ratio));
    if (width == page.run.window.width && height == page.run.window.height) return false;
    emscripten_set_canvas_element_size(kCanvas, width, height);
    RendererEvent resized;
    resized.kind = RendererEventKind::kResized;
    resized.width = width;
    resized.height = height;
    const EventAction action = HandleRendererEvent(page.run, resized);
    page.run.window.width = width;
    page.run.window.height = height;
    if (action.reshape) ReshapeView(page.gl, action.width, action.height);
    return true;
}

// The frame's own time stamp may lie before the scene's start, so the clock is read afresh.
// Once the frames asked for are drawn, a frame is drawn only when the canvas changes size, so
// that the last picture keeps filling the page.
EM_BOOL OnAnimationFrame(double, void* data) {
    Page& page = *static_cast<Page*>(data);
    const bool resized = FitCanvas(page);
    if (page.settings.frames != 0 && page.framesDrawn >= page.settings.frames && !resized) {
        return EM_TRUE;
    }
    const uint32_t now = page.clock.TickCount();
    DrawFrame(page.run, page.gl, PageFrameTick(page.settings, page.startTick, now));
    ++page.framesDrawn;
    if (page.settings.showFps) ShowFrameRate(page, now);
    return EM_TRUE;
}

EM_BOOL OnKey(int eventType, const EmscriptenKeyboardEvent* key, void* data) {
    Page& page = *static_cast<Page*>(data);
    RendererEvent event;
    event.kind = eventType == EMSCRIPTEN_EVENT_KEYDOWN ? RendererEventKind::kKeyDown
                                                       : RendererEventKind::kKeyUp;
    event.key = key->keyCode;  // the Windows virtual-key numbers for the keys the scene reads
    HandleRendererEvent(page.run, event);
    if (eventType == EMSCRIPTEN_EVENT_KEYDOWN && key->keyCode != kEscapeKey && !IsFullScreen()) {
        EnterFullScreen();
    }
    return EM_FALSE;  // the browser's own keys keep working
}

EM_BOOL OnClick(int, const EmscriptenMouseEvent*, void*) {
    if (IsFullScreen()) {
        LeaveFullScreen();
    } else {
        EnterFullScreen();
    }
    return EM_TRUE;
}
}  // namespace

int main() {
    static Page page;
    char* query = emscripten_run_script_string("location.search");
    page.settings = ParsePageSettings(query != nullptr ? query : "");

    EmscriptenWebGLContextAttributes attributes;
    emscripten_webgl_init_context_attributes(&attributes);
    attributes.majorVersion = 2;
    attributes.minorVersion = 0;
    attributes.alpha = EM_FALSE;
    attributes.depth = EM_FALSE;  // the bands are drawn without the depth test
    attributes.antialias = EM_FALSE;
    const EMSCRIPTEN_WEBGL_CONTEXT_HANDLE context =
        emscripten_webgl_create_context(kCanvas, &attributes);
    if (context <= 0 ||
        emscripten_webgl_make_context_current(context) != EMSCRIPTEN_RESULT_SUCCESS ||
        !page.gl.Init()) {
        ShowPageText("This browser cannot draw with WebGL 2.");
        std::fputs("lumen-ribbon: no WebGL 2 context\n", stderr);
        return 1;
    }

    page.run.window.width = 0;
    page.run.window.height = 0;
    FitCanvas(page);
    page.startTick = page.clock.TickCount();
    page.fpsSinceTick = page.startTick;
    PageSeeds seeds(page.settings, page.clock);
    StartWindowScene(page.run, page.gl, seeds, page.quit, page.startTick);

    emscripten_set_keydown_callback(EMSCRIPTEN_EVENT_TARGET_WINDOW, &page, EM_FALSE, OnKey);
    emscripten_set_keyup_callback(EMSCRIPTEN_EVENT_TARGET_WINDOW, &page, EM_FALSE, OnKey);
    emscripten_set_click_callback(kCanvas, &page, EM_FALSE, OnClick);
    emscripten_request_animation_frame_loop(OnAnimationFrame, &page);
    return 0;
}
