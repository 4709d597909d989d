#pragma once
// While the run is full screen on the primary monitor, every other monitor is hidden behind a
// plain black window. This keeps that set of covers in step with the monitors as they come,
// go and move; each platform only opens and closes the windows.

#include <cstdint>
#include <vector>

struct MonitorArea {
    int32_t x = 0;
    int32_t y = 0;
    int32_t width = 0;
    int32_t height = 0;
};
inline bool operator==(const MonitorArea& a, const MonitorArea& b) {
    return a.x == b.x && a.y == b.y && a.width == b.width && a.height == b.height;
}

// The platform's black, topmost, pointer-less windows; a handle of 0 means none was made.
class CoverWindows {
  public:
    virtual ~CoverWindows() = default;
    virtual uintptr_t OpenCover(const MonitorArea& area) = 0;
    virtual void CloseCover(uintptr_t handle) = 0;
};

// The monitors to cover: all but the one the run draws on (the one holding the centre of
// `drawn`), without repeats (mirrored outputs report the same area twice).
std::vector<MonitorArea> MonitorsToCover(const std::vector<MonitorArea>& monitors,
                                         const MonitorArea& drawn);

class MonitorCovers {
  public:
    explicit MonitorCovers(CoverWindows& windows) : windows_(windows) {}
    ~MonitorCovers() { CloseAll(); }
    MonitorCovers(const MonitorCovers&) = delete;
    MonitorCovers& operator=(const MonitorCovers&) = delete;

    // Covers exactly the monitors other than the drawn one: a cover whose monitor is gone or
    // moved is closed, a new monitor gets one, and a cover that still fits is left alone.
    void Follow(const std::vector<MonitorArea>& monitors, const MonitorArea& drawn);
    void CloseAll();
    // Whether a window is one of the covers, so its keys and clicks count as the run's own.
    bool IsCover(uintptr_t handle) const;

  private:
    struct Cover {
        MonitorArea area;
        uintptr_t handle;
    };
    CoverWindows& windows_;
    std::vector<Cover> covers_;
};
