#include "renderer/window/window_messages.h"

RendererEvent TranslateWindowMessage(uint32_t message, uint32_t wParam, uint32_t lParam) {
    RendererEvent event;
    switch (message) {
        case msg::kSize:
            // Other kinds report on other windows being maximised or restored.
            if (wParam == msg::kSizeMinimized) {
                event.kind = RendererEventKind::kMinimised;
            } else if (wParam == msg::kSizeRestored || wParam == msg::kSizeMaximized) {
                event.kind = RendererEventKind::kResized;
                event.width = static_cast<int>(lParam & 0xFFFFu);
                event.height = static_cast<int>(lParam >> 16);
            }
            break;
        case msg::kClose:
            event.kind = RendererEventKind::kCloseRequested;
            break;
        case msg::kKeyDown:
        case msg::kKeyUp:
            // Key codes above 255 go to default processing.
            if (wParam < static_cast<uint32_t>(kKeyCount)) {
                event.kind = message == msg::kKeyDown ? RendererEventKind::kKeyDown
                                                      : RendererEventKind::kKeyUp;
                event.key = wParam;
            }
            break;
        case msg::kSysCommand:
            if (wParam == msg::kScreenSave || wParam == msg::kMonitorPower) {
                event.kind = RendererEventKind::kPowerOrSaver;
            }
            break;
        case msg::kModeSwitch:
            event.kind = RendererEventKind::kModeSwitch;
            break;
        default:
            break;
    }
    return event;
}
