#include "renderer/window/win32_monitor_covers.h"

namespace {
const char kCoverClassName[] = "Lumen_Ribbon_Cover";

MonitorArea AreaOf(const RECT& rect) {
    return {rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top};
}

BOOL CALLBACK AddMonitor(HMONITOR monitor, HDC, LPRECT, LPARAM list) {
    MONITORINFO info{};
    info.cbSize = sizeof info;
    if (GetMonitorInfoA(monitor, &info)) {
        reinterpret_cast<std::vector<MonitorArea>*>(list)->push_back(AreaOf(info.rcMonitor));
    }
    return TRUE;
}
}  // namespace

void Win32CoverWindows::RegisterCoverClass() {
    WNDCLASSEXA windowClass{};
    windowClass.cbSize = sizeof(WNDCLASSEXA);
    windowClass.lpfnWndProc = windowProc_;
    windowClass.hInstance = instance_;
    // No class cursor: the cover's procedure hides the pointer over it.
    windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    windowClass.lpszClassName = kCoverClassName;
    registered_ = RegisterClassExA(&windowClass) != 0;
}

void Win32CoverWindows::UnregisterCoverClass() {
    if (registered_) UnregisterClassA(kCoverClassName, instance_);
    registered_ = false;
}

uintptr_t Win32CoverWindows::OpenCover(const MonitorArea& area) {
    if (!registered_) return 0;
    // Untitled and of another class, so that nothing looking for the run's window finds a
    // cover; left out of the task bar and never activated, so the run's window keeps the
    // keyboard.
    HWND cover = CreateWindowExA(WS_EX_TOPMOST | WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE,
                                 kCoverClassName, "", WS_POPUP, area.x, area.y, area.width,
                                 area.height, nullptr, nullptr, instance_, owner_);
    if (cover == nullptr) return 0;
    ShowWindow(cover, SW_SHOWNOACTIVATE);
    UpdateWindow(cover);
    return reinterpret_cast<uintptr_t>(cover);
}

void Win32CoverWindows::CloseCover(uintptr_t handle) {
    DestroyWindow(reinterpret_cast<HWND>(handle));
}

std::vector<MonitorArea> DesktopMonitors() {
    std::vector<MonitorArea> monitors;
    EnumDisplayMonitors(nullptr, nullptr, AddMonitor, reinterpret_cast<LPARAM>(&monitors));
    return monitors;
}

MonitorArea AreaOfWindow(HWND window) {
    RECT rect{};
    GetWindowRect(window, &rect);
    return AreaOf(rect);
}
