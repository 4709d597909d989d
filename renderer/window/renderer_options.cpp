#include "renderer/window/renderer_options.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdlib>
#include <utility>

namespace {
// A whole decimal number, or a hexadecimal one after 0x.
bool ParseNumber(const char* text, uint64_t& value) {
    const bool hex = text[0] == '0' && (text[1] == 'x' || text[1] == 'X');
    const char* digits = hex ? text + 2 : text;
    if (*digits == '\0' || !std::isxdigit(static_cast<unsigned char>(*digits))) return false;
    errno = 0;
    char* end = nullptr;
    const unsigned long long parsed = std::strtoull(digits, &end, hex ? 16 : 10);
    if (errno != 0 || *end != '\0') return false;
    value = parsed;
    return true;
}

bool IsWindowId(uint64_t value) {
    return value != 0 && value <= kMaxWindowId;
}

RendererOptions UsageError(std::string error) {
    RendererOptions options;
    options.command = RendererCommand::kUsageError;
    options.error = std::move(error);
    return options;
}
}  // namespace

RendererOptions ParseRendererOptions(int argc, const char* const* argv,
                                     const char* xscreensaverWindow) {
    RendererOptions options;
    bool root = false;
    bool windowIdGiven = false;
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        std::string value;
        bool hasValue = false;
        // --name and -name mean the same, as for every hack; --name=value is also taken.
        if (arg.rfind("--", 0) == 0) arg.erase(0, 1);
        const size_t equals = arg.find('=');
        if (equals != std::string::npos) {
            value = arg.substr(equals + 1);
            arg.erase(equals);
            hasValue = true;
        }
        const auto takeValue = [&](uint64_t& target) {
            if (!hasValue) {
                if (i + 1 >= argc) return false;
                value = argv[++i];
            }
            return ParseNumber(value.c_str(), target);
        };
        if (arg == "-help" || arg == "-h") {
            options.command = RendererCommand::kHelp;
            return options;
        } else if (arg == "-version") {
            options.command = RendererCommand::kVersion;
            return options;
        } else if (arg == "-root" && !hasValue) {
            root = true;
        } else if (arg == "-fps" && !hasValue) {
            options.showFps = true;
        } else if (arg == "-window-id") {
            if (!takeValue(options.windowId) || !IsWindowId(options.windowId)) {
                return UsageError("-window-id needs a window id (1 to 0xffffffff)");
            }
            windowIdGiven = true;
        } else if (arg == "-delay") {
            if (!takeValue(options.delayUs)) return UsageError("-delay needs microseconds");
            options.delayUs = std::min(options.delayUs, kMaxDelayUs);
        } else {
            return UsageError("unknown option: " + std::string(argv[i]));
        }
    }

    uint64_t daemonWindow = 0;
    const bool daemonGaveWindow = xscreensaverWindow != nullptr && *xscreensaverWindow != '\0' &&
                                  ParseNumber(xscreensaverWindow, daemonWindow) &&
                                  IsWindowId(daemonWindow);
    if (windowIdGiven) {
        options.target = DrawTarget::kGivenWindow;
    } else if (daemonGaveWindow) {
        // The daemon hands a hack its screen this way, with or without -root.
        options.target = DrawTarget::kGivenWindow;
        options.windowId = daemonWindow;
    } else if (root) {
        options.target = DrawTarget::kRootWindow;
    }
    return options;
}

std::string RendererUsage(const std::string& program) {
    return "usage: " + program +
           " [--root | --window-id ID] [--delay MICROSECONDS] [--fps] [--help] [--version]\n"
           "  without options: switches the display to 1024x768 and covers it, holds off the\n"
           "                   X screen saver and DPMS power saving, and ends on Escape, putting\n"
           "                   back the display mode and DPMS as they were\n"
           "  --root           draw on the root window (or on $XSCREENSAVER_WINDOW); with\n"
           "                   --window-id, leaves the display mode and the blanker alone\n"
           "  --window-id ID   draw into that window (decimal or 0x hex)\n"
           "  --delay US       sleep this many microseconds after each frame\n"
           "                   (a longer delay than " +
           std::to_string(kMaxDelayUs) +
           " is taken as that)\n"
           "  --fps            show the frame rate in a corner\n";
}
