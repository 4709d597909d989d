#include <gtest/gtest.h>

#include <vector>

#include "host/forms/form_layout.h"
#include "host/forms/forms_ui.h"
#include "host/forms/preview_window.h"
#include "startup_fakes.h"

namespace {

using startup_fakes::FakeFormPlatform;
using startup_fakes::FakeFormWindow;
using startup_fakes::FakeScreen;

struct FakeCloseRequests : CloseRequests {
    std::vector<WindowHandle> posted;
    int32_t result = 7;
    int32_t PostClose(WindowHandle target) override {
        posted.push_back(target);
        return result;
    }
};

struct PreviewFixture : ::testing::Test {
    FakeFormPlatform platform;
    FakeScreen screen;
    StartupModule module;
    FakeCloseRequests requests;
    Form* form = nullptr;
    Form preview{platform, screen, PreviewWindowLook(),
                 PreviewWindowEvents(module, requests, [this] { return form->Handle(); })};

    void SetUp() override {
        form = &preview;
        preview.Show();
    }
    FakeFormWindow& Window() { return *platform.Find("Preview Window"); }
};

TEST_F(PreviewFixture, LoadingAndShowingAskNothing) {
    EXPECT_TRUE(preview.Visible());
    EXPECT_TRUE(requests.posted.empty());
}

TEST_F(PreviewFixture, UnloadPostsOneCloseToItsOwnWindow) {
    const WindowHandle handle = preview.Handle();
    requests.result = 5;
    EXPECT_TRUE(preview.Unload());
    EXPECT_EQ(requests.posted, std::vector<WindowHandle>{handle});
    EXPECT_EQ(module.ApiResult, 5);
    EXPECT_FALSE(preview.Loaded());
}

TEST_F(PreviewFixture, DestroyedWithItsPaneItUnloadsOnce) {
    const WindowHandle handle = preview.Handle();
    Window().events.OnDestroyedByOthers();
    EXPECT_FALSE(preview.Loaded());
    EXPECT_EQ(requests.posted, std::vector<WindowHandle>{handle});
}

TEST_F(PreviewFixture, UserCloseUnloadsAndPostsOnce) {
    const WindowHandle handle = preview.Handle();
    Window().events.OnCloseRequest(UnloadMode::ControlMenu);
    EXPECT_FALSE(preview.Loaded());
    EXPECT_EQ(requests.posted, std::vector<WindowHandle>{handle});
}

// The platform's part of Img_Prev: where it was put, in pixels.
struct PlacedPicture final : PreviewPicture {
    using PreviewPicture::PreviewPicture;
    void Create() override {}
    void Move(const PixelRect& box) override { boxes.push_back(box); }
    std::vector<PixelRect> boxes;
};

TEST_F(PreviewFixture, PictureFollowsItsFormAndIsPlacedInWholePixels) {
    PlacedPicture picture(screen);
    EXPECT_EQ(picture.FormHandle(), 0u) << "no form attached";
    picture.Attach(preview);
    EXPECT_EQ(picture.FormHandle(), preview.Handle());
    // 15 twips a pixel: 7 twips round down, 8 round up.
    picture.Place(7, 8, 2280, 1687);
    picture.Place(0, 0, 0, 0);
    EXPECT_EQ(picture.boxes, (std::vector<PixelRect>{SizedRect(0, 1, 152, 112), PixelRect{}}));
    preview.Unload();
    EXPECT_EQ(picture.FormHandle(), 0u) << "the form's window is gone";
}

}  // namespace
