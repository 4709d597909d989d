// A black top-level window holding real Command buttons at known places, for the pixel tests
// of the button's drawing. Usage: button_host REPORT_FILE
//
// Once every button has painted and the pointer rests on the "hover" button, the report file
// gets one line per button, "name=left,top,width,height,hwnd" (screen pixels, window handle),
// then "ready=1".
// The window closes on WM_CLOSE.
#include <windows.h>

#include <cstdio>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "host/controls/command_window.h"

namespace {

constexpr char kClassName[] = "lr_button_host";
constexpr char kTitle[] = "lr_button_host";
constexpr int kWindowWidth = 400;
constexpr int kWindowHeight = 240;
constexpr UINT_PTR kReportTimerId = 1;
constexpr UINT kReportDelayMs = 800;  // several hover polls after the pointer was placed

struct ButtonLayout {
    const char* name;
    PixelRect bounds;     // client pixels of the host window
    const char* caption;  // UTF-8
    bool enabled;
    bool opaque;
    PixelRect movedTo;  // where the button goes after its first paint; empty to stay
};

constexpr PixelRect kStay{0, 0, 0, 0};
constexpr char kSettei[] = "\xE8\xA8\xAD\xE5\xAE\x9A";  // 設定, full width
constexpr char kCancelHalfWidth[] =
    "\xEF\xBD\xB7\xEF\xBD\xAC\xEF\xBE\x9D\xEF\xBD\xBE\xEF\xBE\x99";  // ｷｬﾝｾﾙ

// Two skin-sized buttons (same caption, one disabled), a larger one, one for the pointer to
// rest on, two with Japanese captions, one with a white caption made transparent after its
// first paint, one grown after its first paint and one with a caption too long for it.
const ButtonLayout kButtons[] = {
    {"normal64", SizedRect(20, 20, 64, 25), "OK", true, true, kStay},
    {"disabled64", SizedRect(100, 20, 64, 25), "OK", false, true, kStay},
    {"large", SizedRect(20, 70, 150, 60), "Stretch", true, true, kStay},
    {"hover", SizedRect(200, 70, 117, 28), "Hover", true, true, kStay},
    {"japanese", SizedRect(200, 120, 117, 28), kSettei, true, true, kStay},
    {"japanese2", SizedRect(200, 170, 117, 28), kCancelHalfWidth, true, true, kStay},
    {"transparent", SizedRect(20, 170, 117, 28), "Clear", true, false, kStay},
    {"resized", SizedRect(200, 20, 64, 25), "Grown", true, true, SizedRect(200, 15, 110, 40)},
    {"long", SizedRect(20, 205, 64, 25), "Far too long a caption", true, true, kStay},
};
constexpr size_t kHoverIndex = 3;

struct HostState {
    std::string reportPath;
    std::vector<std::unique_ptr<CommandWindow>> buttons;
};

RECT ScreenRect(HWND window) {
    RECT rect{};
    GetWindowRect(window, &rect);
    return rect;
}

void WriteReport(const HostState& state) {
    std::ofstream out(state.reportPath);
    for (size_t i = 0; i < state.buttons.size(); ++i) {
        const RECT rect = ScreenRect(reinterpret_cast<HWND>(state.buttons[i]->Handle()));
        out << kButtons[i].name << '=' << rect.left << ',' << rect.top << ','
            << rect.right - rect.left << ',' << rect.bottom - rect.top << ",0x" << std::hex
            << reinterpret_cast<std::uintptr_t>(state.buttons[i]->Handle()) << std::dec << '\n';
    }
    out << "ready=1\n";
}

LRESULT CALLBACK HostWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* state = reinterpret_cast<HostState*>(GetWindowLongPtrA(window, GWLP_USERDATA));
    switch (message) {
        case WM_TIMER:
            if (wParam == kReportTimerId && state) {
                KillTimer(window, kReportTimerId);
                WriteReport(*state);
            }
            return 0;
        case WM_DESTROY:
            if (state) state->buttons.clear();
            PostQuitMessage(0);
            return 0;
        default:
            return DefWindowProcA(window, message, wParam, lParam);
    }
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: button_host REPORT_FILE\n");
        return 2;
    }
    HostState state;
    state.reportPath = argv[1];

    HINSTANCE instance = GetModuleHandleA(nullptr);
    WNDCLASSEXA windowClass{};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.lpfnWndProc = HostWindowProc;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursor(nullptr, IDC_ARROW);
    windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    windowClass.lpszClassName = kClassName;
    if (!RegisterClassExA(&windowClass)) return 1;

    HWND host = CreateWindowExA(0, kClassName, kTitle, WS_POPUP | WS_CLIPCHILDREN, 0, 0,
                                kWindowWidth, kWindowHeight, nullptr, nullptr, instance, nullptr);
    if (!host) return 1;
    SetWindowLongPtrA(host, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&state));
    ShowWindow(host, SW_SHOW);
    SetForegroundWindow(host);

    for (const ButtonLayout& layout : kButtons) {
        auto button = CreateCommandWindow(reinterpret_cast<NativeWidget*>(host), layout.bounds, {});
        if (!button) return 1;
        Command& command = button->Button();
        command.Caption(layout.caption);
        command.Enabled();  // the first read sets a new button up and paints it
        if (!layout.enabled) command.Enabled(false);
        if (!layout.opaque) {
            command.FontColour(0xFFFFFF);  // white, to show on the black window
            command.Visible(0);
        }
        command.Initialize();
        if (layout.movedTo.Width() > 0) button->Move(layout.movedTo);
        state.buttons.push_back(std::move(button));
    }
    UpdateWindow(host);

    // The button notices the pointer through its mouse-move messages and keeps the hover only
    // while the window under the real pointer is its own.
    const RECT hover = ScreenRect(reinterpret_cast<HWND>(state.buttons[kHoverIndex]->Handle()));
    SetCursorPos((hover.left + hover.right) / 2, (hover.top + hover.bottom) / 2);
    SetTimer(host, kReportTimerId, kReportDelayMs, nullptr);

    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
    return 0;
}
