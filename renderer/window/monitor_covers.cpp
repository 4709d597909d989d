#include "renderer/window/monitor_covers.h"

#include <algorithm>

namespace {

bool Holds(const MonitorArea& area, int64_t x, int64_t y) {
    return x >= area.x && x < int64_t{area.x} + area.width && y >= area.y &&
           y < int64_t{area.y} + area.height;
}

}  // namespace

std::vector<MonitorArea> MonitorsToCover(const std::vector<MonitorArea>& monitors,
                                         const MonitorArea& drawn) {
    const int64_t centreX = int64_t{drawn.x} + drawn.width / 2;
    const int64_t centreY = int64_t{drawn.y} + drawn.height / 2;
    std::vector<MonitorArea> wanted;
    for (const MonitorArea& monitor : monitors) {
        if (monitor.width <= 0 || monitor.height <= 0 || Holds(monitor, centreX, centreY) ||
            std::find(wanted.begin(), wanted.end(), monitor) != wanted.end()) {
            continue;
        }
        wanted.push_back(monitor);
    }
    return wanted;
}

void MonitorCovers::Follow(const std::vector<MonitorArea>& monitors, const MonitorArea& drawn) {
    std::vector<MonitorArea> wanted = MonitorsToCover(monitors, drawn);
    auto gone = std::remove_if(covers_.begin(), covers_.end(), [&](const Cover& cover) {
        if (std::find(wanted.begin(), wanted.end(), cover.area) != wanted.end()) {
            return false;
        }
        windows_.CloseCover(cover.handle);
        return true;
    });
    covers_.erase(gone, covers_.end());
    for (const MonitorArea& area : wanted) {
        bool covered = std::any_of(covers_.begin(), covers_.end(),
                                   [&](const Cover& cover) { return cover.area == area; });
        if (covered) {
            continue;
        }
        if (uintptr_t handle = windows_.OpenCover(area)) {
            covers_.push_back({area, handle});
        }
    }
}

void MonitorCovers::CloseAll() {
    for (const Cover& cover : covers_) {
        windows_.CloseCover(cover.handle);
    }
    covers_.clear();
}

bool MonitorCovers::IsCover(uintptr_t handle) const {
    return handle != 0 && std::any_of(covers_.begin(), covers_.end(),
                                      [&](const Cover& cover) { return cover.handle == handle; });
}
