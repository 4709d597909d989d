#include <gtest/gtest.h>

#include "host/startup/zoom.h"
#include "startup_fakes.h"

using namespace startup_fakes;

TEST(StartupZoom, OpensFromTheRecordedPointAndClosesBackToIt) {
    StartupModule module;
    FakeCursor cursor;
    FakeNativeWindows windows;
    windows.rects[9] = PixelRect{272, 250, 757, 530};
    cursor.position = PixelPoint{640, 400};
    RecordZoomOrigin(module, cursor);
    WindowZoomOpen(module, windows, 9);
    cursor.position = PixelPoint{10, 10};  // the mouse has moved meanwhile
    WindowZoomClose(module, windows, 9);

    ASSERT_EQ(windows.animations.size(), 2u);
    const PixelRect point{640, 400, 640, 400};
    EXPECT_EQ(windows.animations[0].window, 9u);
    EXPECT_EQ(windows.animations[0].from, point);
    EXPECT_EQ(windows.animations[0].to, windows.rects[9]);
    EXPECT_EQ(windows.animations[1].from, windows.rects[9]);
    EXPECT_EQ(windows.animations[1].to, point);
}

TEST(StartupZoom, WithoutAMousePositionTheZoomUsesTheTopLeftCorner) {
    StartupModule module;
    module.CursorX = 300;
    module.CursorY = 200;
    FakeCursor cursor;
    RecordZoomOrigin(module, cursor);
    EXPECT_EQ(module.CursorX, 0);
    EXPECT_EQ(module.CursorY, 0);
    EXPECT_EQ(ZoomPointRect(module), (PixelRect{0, 0, 0, 0}));
}

TEST(StartupZoom, AWindowWithoutARectangleAnimatesToTheZeroRectangle) {
    StartupModule module;
    module.CursorX = 5;
    module.CursorY = 6;
    FakeNativeWindows windows;
    WindowZoomOpen(module, windows, 1234);
    ASSERT_EQ(windows.animations.size(), 1u);
    EXPECT_EQ(windows.animations[0].from, (PixelRect{5, 6, 5, 6}));
    EXPECT_EQ(windows.animations[0].to, PixelRect{});
}

TEST(StartupZoom, CoordinatesBeyondSixteenBitsKeepThePreviousValue) {
    StartupModule module;
    module.CursorX = 11;
    module.CursorY = 12;
    FakeCursor cursor;
    cursor.position = PixelPoint{40000, -20};
    RecordZoomOrigin(module, cursor);
    EXPECT_EQ(module.CursorX, 11);
    EXPECT_EQ(module.CursorY, -20);
}
