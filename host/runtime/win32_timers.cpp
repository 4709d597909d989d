#include <windows.h>

#include <utility>

#include "host/runtime/win32_services.h"
#include "host/runtime/win32_window_class.h"

namespace {

constexpr char kTimerWindowClass[] = "Lumen_Ribbon_Timers";

LRESULT CALLBACK TimerWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_TIMER) {
        auto* service =
            reinterpret_cast<Win32TimerService*>(GetWindowLongPtrA(window, GWLP_USERDATA));
        if (service) service->Deliver(static_cast<TimerId>(wParam));
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

}  // namespace

Win32TimerService::Win32TimerService() {
    RegisterWindowClass(kTimerWindowClass, TimerWindowProc);
    HWND window = CreateWindowExA(0, kTimerWindowClass, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                  GetModuleHandleA(nullptr), nullptr);
    SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    window_ = reinterpret_cast<WindowHandle>(window);
}

Win32TimerService::~Win32TimerService() {
    DestroyWindow(reinterpret_cast<HWND>(window_));
}

TimerId Win32TimerService::Start(uint32_t intervalMs, std::function<void()> onTick) {
    const TimerId id = nextId_++;
    ticks_[id] = std::move(onTick);
    SetTimer(reinterpret_cast<HWND>(window_), id, intervalMs, nullptr);
    return id;
}

void Win32TimerService::Stop(TimerId id) {
    KillTimer(reinterpret_cast<HWND>(window_), id);
    ticks_.erase(id);
}

void Win32TimerService::Deliver(TimerId id) {
    const auto found = ticks_.find(id);
    if (found == ticks_.end()) return;
    // A copy, because the tick may stop its own timer.
    const std::function<void()> tick = found->second;
    tick();
}
