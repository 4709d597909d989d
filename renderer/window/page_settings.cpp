#include "renderer/window/page_settings.h"

#include <cstddef>

namespace {
bool ParseUint32(const std::string& text, uint32_t& value) {
    if (text.empty() || text.size() > 10) return false;
    uint64_t parsed = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return false;
        parsed = parsed * 10 + static_cast<uint64_t>(c - '0');
    }
    if (parsed > UINT32_MAX) return false;
    value = static_cast<uint32_t>(parsed);
    return true;
}
}  // namespace

PageSettings ParsePageSettings(const std::string& query) {
    PageSettings settings;
    size_t start = !query.empty() && query[0] == '?' ? 1 : 0;
    while (start <= query.size()) {
        size_t end = query.find('&', start);
        if (end == std::string::npos) end = query.size();
        const std::string pair = query.substr(start, end - start);
        const size_t equals = pair.find('=');
        const std::string name = pair.substr(0, equals);
        uint32_t value = 0;
        if (equals != std::string::npos && ParseUint32(pair.substr(equals + 1), value)) {
            if (name == "seed") {
                settings.fixedSeed = true;
                settings.seed = value;
            } else if (name == "time") {
                settings.fixedTime = true;
                settings.timeMs = value;
            } else if (name == "frames") {
                settings.frames = value;
            } else if (name == "fps") {
                settings.showFps = value != 0;
            }
        }
        start = end + 1;
    }
    return settings;
}

uint32_t PageFrameTick(const PageSettings& settings, uint32_t startTick, uint32_t now) {
    return settings.fixedTime ? startTick + settings.timeMs : now;
}
