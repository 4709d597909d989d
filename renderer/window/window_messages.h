#pragma once
// Numbered window messages (as the Windows message queue carries them)
// translated into renderer events. Plain arithmetic on the numbers, kept apart
// from the platform so that its rules can be tested anywhere.

#include <cstdint>

#include "renderer/window/renderer_main.h"

namespace msg {
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

RendererEvent TranslateWindowMessage(uint32_t message, uint32_t wParam, uint32_t lParam);
