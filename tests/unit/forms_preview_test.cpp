#include <gtest/gtest.h>

#include <vector>

#include "host/forms/form_layout.h"
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

}  // namespace
