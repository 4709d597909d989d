#pragma once
// The renderer's window, display mode and OpenGL context on Win32.

#include <windows.h>

#include "renderer/scene/opengl_sink.h"
#include "renderer/window/monitor_covers.h"
#include "renderer/window/renderer_main.h"
#include "renderer/window/win32_monitor_covers.h"

class Win32RendererPlatform final : public RendererPlatform {
  public:
    explicit Win32RendererPlatform(HINSTANCE instance)
        : instance_(instance), coverWindows_(instance, CoverWindowProc, this) {}

    uint32_t TickCount() override;
    bool OpenWindowSystem() override;
    void CloseWindowSystem() override;
    bool CreateRendererWindow(RendererRun& run) override;
    void DestroyRendererWindow(RendererRun& run) override;
    EventStep HandleNextEvent(RendererRun& run) override;
    void WaitForEvent(int64_t timeoutUs) override;
    void SwapBuffers() override;
    void PostQuitToWindow() override;
    GlSink& Gl() override { return gl_; }

  private:
    static LRESULT CALLBACK RendererWindowProc(HWND window, UINT message, WPARAM wParam,
                                               LPARAM lParam);
    // The covers' procedure: their keys and clicks count as the run's window's own.
    static LRESULT CALLBACK CoverWindowProc(HWND window, UINT message, WPARAM wParam,
                                            LPARAM lParam);
    // The window class "OpenGL"; true when it was registered.
    bool RegisterRendererClass();
    void ReleaseWindow();
    // Covers every monitor but the one of the full-screen window, as the layout is now.
    void FollowMonitors();

    HINSTANCE instance_;
    RendererRun* run_ = nullptr;
    HWND windowHandle_ = nullptr;
    HDC deviceContext_ = nullptr;
    HGLRC renderContext_ = nullptr;
    OpenGlSink gl_;
    Win32CoverWindows coverWindows_;
    MonitorCovers covers_{coverWindows_};
    bool covering_ = false;  // the window is full screen: the other monitors are covered
};

bool EnterFullScreenMode(int width, int height, int bitsPerPixel);
// The refresh rate of the current display mode in hertz; 0 when unknown.
double CurrentRefreshRate();
