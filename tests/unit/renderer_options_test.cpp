#include "renderer/window/renderer_options.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

RendererOptions Parse(std::vector<const char*> args, const char* daemonWindow = nullptr) {
    args.insert(args.begin(), "lumen-ribbon");
    return ParseRendererOptions(static_cast<int>(args.size()), args.data(), daemonWindow);
}

TEST(RendererOptions, NoOptionsRunsItsOwnFullScreenWindow) {
    const RendererOptions options = Parse({});
    EXPECT_EQ(options.command, RendererCommand::kRun);
    EXPECT_EQ(options.target, DrawTarget::kOwnWindow);
    EXPECT_EQ(options.delayUs, 0u);
    EXPECT_FALSE(options.showFps);
}

TEST(RendererOptions, HackOptionsWithOneDashOrTwo) {
    for (const char* id : {"-window-id", "--window-id"}) {
        const RendererOptions hex = Parse({id, "0x2a00007", "-fps", "--delay", "20000"});
        EXPECT_EQ(hex.command, RendererCommand::kRun) << hex.error;
        EXPECT_EQ(hex.target, DrawTarget::kGivenWindow);
        EXPECT_EQ(hex.windowId, 0x2a00007u);
        EXPECT_EQ(hex.delayUs, 20000u);
        EXPECT_TRUE(hex.showFps);
    }
    // Decimal, also with a leading zero, and the --name=value form.
    EXPECT_EQ(Parse({"--window-id", "044040199"}).windowId, 44040199u);
    EXPECT_EQ(Parse({"--window-id=4194311"}).windowId, 4194311u);
    EXPECT_EQ(Parse({"-delay=0"}).delayUs, 0u);
}

TEST(RendererOptions, RootMeansTheDaemonsWindowWhenItNamesOne) {
    EXPECT_EQ(Parse({"-root"}).target, DrawTarget::kRootWindow);
    const RendererOptions daemon = Parse({"--root"}, "0x600003");
    EXPECT_EQ(daemon.target, DrawTarget::kGivenWindow);
    EXPECT_EQ(daemon.windowId, 0x600003u);
    EXPECT_EQ(Parse({}, "6291459").windowId, 6291459u);
    // An explicit window wins over the environment; one that cannot be a window is ignored.
    EXPECT_EQ(Parse({"--window-id", "7"}, "0x600003").windowId, 7u);
    for (const char* notAWindow : {"junk", "", "0", "0x100600003"}) {
        EXPECT_EQ(Parse({"--root"}, notAWindow).target, DrawTarget::kRootWindow) << notAWindow;
    }
}

TEST(RendererOptions, WindowIdsAreNonZero32BitAndDelaysAreCapped) {
    EXPECT_EQ(Parse({"--window-id", "0xffffffff"}).windowId, 0xffffffffu);
    for (const char* id : {"0", "0x0", "0x100000000", "0x1000000002a00007"}) {
        EXPECT_EQ(Parse({"--window-id", id}).command, RendererCommand::kUsageError) << id;
    }
    EXPECT_EQ(Parse({"--delay", "10000000"}).delayUs, kMaxDelayUs);
    EXPECT_EQ(Parse({"--delay", "10000001"}).delayUs, kMaxDelayUs);
    EXPECT_EQ(Parse({"--delay=9223372036854775807"}).delayUs, kMaxDelayUs);
    EXPECT_EQ(Parse({"--delay", "0xffffffffffffffff"}).delayUs, kMaxDelayUs);
}

TEST(RendererOptions, HelpVersionAndUsageErrors) {
    EXPECT_EQ(Parse({"--help"}).command, RendererCommand::kHelp);
    EXPECT_EQ(Parse({"-h"}).command, RendererCommand::kHelp);
    EXPECT_EQ(Parse({"--version"}).command, RendererCommand::kVersion);
    const std::vector<std::vector<const char*>> wrong = {{"--bogus"},
                                                         {"/s"},
                                                         {"--window-id"},
                                                         {"--window-id", "0xZZ"},
                                                         {"--delay"},
                                                         {"--delay", "-5"},
                                                         {"--delay", "5ms"},
                                                         {"--root=1"},
                                                         {"--delay", "99999999999999999999999"}};
    for (const auto& args : wrong) {
        const RendererOptions options = Parse(args);
        EXPECT_EQ(options.command, RendererCommand::kUsageError) << args[0];
        EXPECT_FALSE(options.error.empty());
    }
    EXPECT_NE(RendererUsage("lumen-ribbon").find("--window-id"), std::string::npos);
}

}  // namespace
