#include "renderer/window/win32_renderer_platform.h"

#include <mmsystem.h>

#include "renderer/window/window_messages.h"

namespace {
const char kClassName[] = "OpenGL";
// Not every system tells its windows of monitors plugged in, unplugged or moved (Wine passes
// on none of the X server's layout changes), so while covering, the layout is also looked at
// twice a second.
constexpr UINT_PTR kLayoutTimer = 1;
constexpr UINT kLayoutCheckMs = 500;
constexpr DWORD kDisplayModeRecordSize = 148;  // the record without the panning fields

using SwapIntervalProc = BOOL(WINAPI*)(int);

// Lets the buffer swap wait for the display's refresh where the driver offers
// it; true when it does.
bool AskForSwapInterval() {
    const PROC proc = wglGetProcAddress("wglSwapIntervalEXT");
    if (proc == nullptr) return false;
    const auto swapInterval =
        reinterpret_cast<SwapIntervalProc>(reinterpret_cast<void (*)()>(proc));
    return swapInterval(1) != FALSE;
}

DWORD FrameStyle(const WindowFrame& frame) {
    return frame.coversScreen ? WS_POPUP : WS_OVERLAPPEDWINDOW;
}

DWORD FrameExStyle(const WindowFrame& frame) {
    return WS_EX_APPWINDOW | (frame.topmost ? WS_EX_TOPMOST : 0);
}

// The platform, handed over at creation, is kept in the window's user-data slot.
void KeepCreationParameter(HWND window, LPARAM createStruct) {
    const auto* create = reinterpret_cast<const CREATESTRUCTA*>(createStruct);
    SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
}

PIXELFORMATDESCRIPTOR PixelFormatRequest(int colourBits) {
    PIXELFORMATDESCRIPTOR request{};
    request.nSize = sizeof(PIXELFORMATDESCRIPTOR);
    request.nVersion = 1;
    request.dwFlags = PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL | PFD_DOUBLEBUFFER;
    request.iPixelType = PFD_TYPE_RGBA;
    request.cColorBits = static_cast<BYTE>(colourBits);
    request.cDepthBits = 16;
    request.iLayerType = PFD_MAIN_PLANE;
    return request;
}
}  // namespace

bool EnterFullScreenMode(int width, int height, int bitsPerPixel) {
    DEVMODEA mode{};
    mode.dmSize = kDisplayModeRecordSize;
    mode.dmPelsWidth = static_cast<DWORD>(width);
    mode.dmPelsHeight = static_cast<DWORD>(height);
    mode.dmBitsPerPel = static_cast<DWORD>(bitsPerPixel);
    mode.dmFields = DM_PELSWIDTH | DM_PELSHEIGHT | DM_BITSPERPEL;
    return ChangeDisplaySettingsA(&mode, CDS_FULLSCREEN) == DISP_CHANGE_SUCCESSFUL;
}

double CurrentRefreshRate() {
    DEVMODEA mode{};
    mode.dmSize = sizeof(mode);
    if (!EnumDisplaySettingsA(nullptr, ENUM_CURRENT_SETTINGS, &mode)) return 0.0;
    // 0 and 1 stand for the hardware's default rate, which is not told.
    return mode.dmDisplayFrequency > 1 ? mode.dmDisplayFrequency : 0.0;
}

uint32_t Win32RendererPlatform::TickCount() {
    return GetTickCount();
}

bool Win32RendererPlatform::RegisterRendererClass() {
    WNDCLASSEXA windowClass{};
    windowClass.cbSize = sizeof(WNDCLASSEXA);
    windowClass.style = CS_HREDRAW | CS_VREDRAW | CS_OWNDC;
    windowClass.lpfnWndProc = RendererWindowProc;
    windowClass.hInstance = instance_;
    windowClass.hCursor = LoadCursorA(nullptr, MAKEINTRESOURCEA(32512));
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(12));
    windowClass.lpszClassName = kClassName;
    return (RegisterClassExA(&windowClass) & 0xFFFF) != 0;
}

bool Win32RendererPlatform::OpenWindowSystem() {
    if (!RegisterRendererClass()) return false;
    coverWindows_.RegisterCoverClass();
    timeBeginPeriod(1);  // waits between capped frames need millisecond sleeps
    return true;
}

void Win32RendererPlatform::CloseWindowSystem() {
    timeEndPeriod(1);
    coverWindows_.UnregisterCoverClass();
    UnregisterClassA(kClassName, instance_);
}

bool Win32RendererPlatform::CreateRendererWindow(RendererRun& run) {
    RendererWindow& window = run.window;
    run_ = &run;
    RECT rect{0, 0, window.width, window.height};
    const PIXELFORMATDESCRIPTOR request = PixelFormatRequest(window.colourDepth);

    // A failed switch leaves an overlapped window whose outer size, not its client
    // area, is the requested size, with the cursor left visible.
    const bool wanted = window.fullScreen != 0;
    const bool switched =
        wanted && EnterFullScreenMode(window.width, window.height, window.colourDepth);
    if (wanted && !switched) window.fullScreen = 0;
    const WindowFrame frame = ChooseWindowFrame(wanted, switched);
    if (frame.hideCursor) ShowCursor(FALSE);
    const DWORD style = FrameStyle(frame);
    const DWORD exStyle = FrameExStyle(frame);
    if (frame.sizeIsClientArea) AdjustWindowRectEx(&rect, style, FALSE, exStyle);

    windowHandle_ = CreateWindowExA(exStyle, kClassName, window.title.c_str(), style, 0, 0,
                                    rect.right - rect.left, rect.bottom - rect.top, nullptr,
                                    nullptr, instance_, this);
    if (windowHandle_ == nullptr) return false;

    deviceContext_ = GetDC(windowHandle_);
    if (deviceContext_ == nullptr) {
        ReleaseWindow();
        return false;
    }
    const int format = ChoosePixelFormat(deviceContext_, &request);
    if (format == 0 || !SetPixelFormat(deviceContext_, format, &request)) {
        ReleaseWindow();
        return false;
    }
    renderContext_ = wglCreateContext(deviceContext_);
    if (renderContext_ == nullptr) {
        ReleaseWindow();
        return false;
    }
    if (!wglMakeCurrent(deviceContext_, renderContext_)) {
        wglDeleteContext(renderContext_);
        renderContext_ = nullptr;
        ReleaseWindow();
        return false;
    }
    SetDisplayPacing(run.pacer, CurrentRefreshRate(), AskForSwapInterval());
    ShowWindow(windowHandle_, SW_NORMAL);
    window.visible = 1;
    covering_ = frame.coversScreen;
    if (covering_) {
        FollowMonitors();
        SetTimer(windowHandle_, kLayoutTimer, kLayoutCheckMs, nullptr);
    }
    return true;
}

void Win32RendererPlatform::FollowMonitors() {
    covers_.Follow(DesktopMonitors(), AreaOfWindow(windowHandle_));
}

void Win32RendererPlatform::ReleaseWindow() {
    if (deviceContext_ != nullptr) {
        ReleaseDC(windowHandle_, deviceContext_);
        deviceContext_ = nullptr;
    }
    DestroyWindow(windowHandle_);
    windowHandle_ = nullptr;
}

void Win32RendererPlatform::DestroyRendererWindow(RendererRun& run) {
    covering_ = false;
    covers_.CloseAll();
    if (windowHandle_ != nullptr) {
        if (deviceContext_ != nullptr) {
            wglMakeCurrent(deviceContext_, nullptr);
            if (renderContext_ != nullptr) {
                wglDeleteContext(renderContext_);
                renderContext_ = nullptr;
            }
        }
        ReleaseWindow();
    }
    if (run.window.fullScreen) {
        ChangeDisplaySettingsA(nullptr, 0);
        ShowCursor(TRUE);
    }
}

EventStep Win32RendererPlatform::HandleNextEvent(RendererRun&) {
    MSG message;
    // Any window of the run: the covers' input is the run's too.
    if (!PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) return EventStep::kNoneWaiting;
    if (message.message == WM_QUIT) return EventStep::kQuit;
    // No key translation step, so no character messages are produced.
    DispatchMessageA(&message);
    return EventStep::kHandled;
}

void Win32RendererPlatform::WaitForEvent(int64_t timeoutUs) {
    if (timeoutUs < 0) {
        WaitMessage();
        return;
    }
    const DWORD ms = static_cast<DWORD>((timeoutUs + 999) / 1000);
    MsgWaitForMultipleObjects(0, nullptr, FALSE, ms, QS_ALLINPUT);
}

void Win32RendererPlatform::SwapBuffers() {
    ::SwapBuffers(deviceContext_);
}

void Win32RendererPlatform::PostQuitToWindow() {
    PostMessageA(windowHandle_, WM_QUIT, 0, 0);
}

LRESULT CALLBACK Win32RendererPlatform::RendererWindowProc(HWND window, UINT message, WPARAM wParam,
                                                           LPARAM lParam) {
    auto* platform =
        reinterpret_cast<Win32RendererPlatform*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    if (message == WM_CREATE) {
        KeepCreationParameter(window, lParam);
        return 0;
    }
    if (platform == nullptr || platform->run_ == nullptr) {
        return DefWindowProcA(window, message, wParam, lParam);
    }
    // Monitors come, go and move (a mode switch moves those beside the switched one).
    if ((message == WM_DISPLAYCHANGE || (message == WM_TIMER && wParam == kLayoutTimer)) &&
        platform->covering_) {
        platform->FollowMonitors();
        return 0;
    }
    const RendererEvent event = TranslateWindowMessage(message, static_cast<uint32_t>(wParam),
                                                       static_cast<uint32_t>(lParam));
    const EventAction action = HandleRendererEvent(*platform->run_, event);
    // Size messages sent while the window is being created arrive before any
    // context is current; creation reshapes the view itself afterwards.
    if (action.reshape && wglGetCurrentContext() != nullptr) {
        ReshapeView(platform->gl_, action.width, action.height);
    }
    if (action.postQuit) PostMessageA(window, WM_QUIT, 0, 0);
    if (action.handled) return 0;
    return DefWindowProcA(window, message, wParam, lParam);
}

LRESULT CALLBACK Win32RendererPlatform::CoverWindowProc(HWND window, UINT message, WPARAM wParam,
                                                        LPARAM lParam) {
    if (message == WM_CREATE) {
        KeepCreationParameter(window, lParam);
        return 0;
    }
    const auto* platform =
        reinterpret_cast<const Win32RendererPlatform*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    HWND runWindow = platform != nullptr ? platform->windowHandle_ : nullptr;
    switch (message) {
        case WM_SETCURSOR:
            SetCursor(nullptr);
            return TRUE;
        case WM_MOUSEACTIVATE:
            // A click activates the run's window, as a click on that window would.
            if (runWindow != nullptr) SetForegroundWindow(runWindow);
            return MA_NOACTIVATE;
        case WM_KEYDOWN:
        case WM_KEYUP:
        case WM_SYSKEYDOWN:
        case WM_SYSKEYUP:
        case WM_CLOSE:
            if (runWindow != nullptr) return SendMessageA(runWindow, message, wParam, lParam);
            break;
        default:
            break;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}
