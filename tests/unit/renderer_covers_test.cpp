#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "renderer/window/monitor_covers.h"

namespace {

// Records what the covers did, as "open 1 x,y wxh" and "close 1".
class FakeCoverWindows : public CoverWindows {
  public:
    uintptr_t OpenCover(const MonitorArea& area) override {
        if (refuse) {
            return 0;
        }
        uintptr_t handle = ++lastHandle;
        log.push_back("open " + std::to_string(handle) + " " + std::to_string(area.x) + "," +
                      std::to_string(area.y) + " " + std::to_string(area.width) + "x" +
                      std::to_string(area.height));
        return handle;
    }
    void CloseCover(uintptr_t handle) override { log.push_back("close " + std::to_string(handle)); }
    std::vector<std::string> log;
    uintptr_t lastHandle = 0;
    bool refuse = false;
};

const MonitorArea kPrimary{0, 0, 1024, 768};
const MonitorArea kRight{1280, 0, 1024, 768};
const MonitorArea kLeft{-1920, -200, 1920, 1080};

TEST(MonitorCovers, CoverEveryMonitorButTheDrawnOneOnce) {
    // The drawn monitor is found by the run window's centre, wherever it lies in the layout;
    // mirrored outputs and empty (switched off) ones get no cover of their own.
    EXPECT_EQ(MonitorsToCover({kLeft, kPrimary, kRight, kRight, {0, 0, 0, 0}}, kPrimary),
              (std::vector<MonitorArea>{kLeft, kRight}));
    EXPECT_EQ(MonitorsToCover({kLeft, kPrimary}, kLeft), (std::vector<MonitorArea>{kPrimary}));
    EXPECT_TRUE(MonitorsToCover({kPrimary}, kPrimary).empty());
}

TEST(MonitorCovers, FollowTheLayoutAsMonitorsComeGoAndMove) {
    FakeCoverWindows windows;
    {
        MonitorCovers covers(windows);
        covers.Follow({kPrimary, kRight}, kPrimary);
        EXPECT_TRUE(covers.IsCover(1));
        EXPECT_FALSE(covers.IsCover(0));
        covers.Follow({kPrimary, kRight, kLeft}, kPrimary);  // the right one is left alone
        MonitorArea movedRight = kRight;
        movedRight.x = 1024;
        covers.Follow({kPrimary, movedRight}, kPrimary);
        EXPECT_FALSE(covers.IsCover(1));
        covers.Follow({kPrimary, movedRight}, kPrimary);  // nothing changed: nothing done
    }                                                     // every cover goes with the run
    EXPECT_EQ(windows.log, (std::vector<std::string>{
                               "open 1 1280,0 1024x768", "open 2 -1920,-200 1920x1080", "close 1",
                               "close 2", "open 3 1024,0 1024x768", "close 3"}));
}

TEST(MonitorCovers, ACoverThatCouldNotBeMadeIsTriedAgainOnTheNextChange) {
    FakeCoverWindows windows;
    MonitorCovers covers(windows);
    windows.refuse = true;
    covers.Follow({kPrimary, kRight}, kPrimary);
    windows.refuse = false;
    covers.CloseAll();  // closes nothing it never had
    covers.Follow({kPrimary, kRight}, kPrimary);
    EXPECT_EQ(windows.log, (std::vector<std::string>{"open 1 1280,0 1024x768"}));
}

}  // namespace
