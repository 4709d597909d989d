#include <gtest/gtest.h>

#include "host/startup/arguments.h"
#include "host/startup/startup.h"

namespace {

std::string Line(const std::vector<std::string>& arguments) {
    const ArgumentRequest request = ReadArguments(arguments);
    EXPECT_EQ(request.kind, ArgumentRequest::Kind::Dispatch);
    return request.commandLine;
}

}  // namespace

TEST(StartupArgumentsTest, LongOptionsStandForTheWindowsSwitches) {
    EXPECT_EQ(Line({}), "");
    EXPECT_EQ(Line({"--run"}), "/s");
    EXPECT_EQ(Line({"--settings"}), "/c");
    EXPECT_EQ(Line({"--preview", "12345"}), "/p 12345");
    EXPECT_EQ(Line({"--preview=0x2e00007"}), "/p 48234503");
    EXPECT_EQ(Line({"--preview", "0x1G"}), "/p 0x1G");
    // What reaches the dispatch is read there as the Windows line would be.
    EXPECT_EQ(PreviewParentHandle(Line({"--preview", "0x2e00007"})), 48234503u);
    EXPECT_EQ(ModeSwitch(Line({"--settings"})), "C");
}

TEST(StartupArgumentsTest, WindowsFormsAndUnknownSwitchesPassThroughUnchanged) {
    EXPECT_EQ(Line({"/S"}), "/S");
    EXPECT_EQ(Line({"/c:1234"}), "/c:1234");
    EXPECT_EQ(Line({"/p", "77"}), "/p 77");
    EXPECT_EQ(Line({"--frobnicate", "x"}), "--frobnicate x");
    EXPECT_EQ(ModeSwitch(Line({"--frobnicate"})), "-");
}

TEST(StartupArgumentsTest, PreviewWithoutAnIdIsAUsageErrorButTheWindowsSwitchIsNot) {
    for (const std::vector<std::string>& arguments :
         {std::vector<std::string>{"--preview"}, {"--run", "--preview="}, {"--preview", " "}}) {
        const ArgumentRequest request = ReadArguments(arguments);
        EXPECT_EQ(request.kind, ArgumentRequest::Kind::UsageError) << arguments.back();
        EXPECT_NE(request.commandLine.find("--preview"), std::string::npos);
    }
    EXPECT_EQ(Line({"/p"}), "/p");
}

TEST(StartupArgumentsTest, HelpAndVersionWinOverEverythingElse) {
    EXPECT_EQ(ReadArguments({"--run", "--help"}).kind, ArgumentRequest::Kind::Help);
    EXPECT_EQ(ReadArguments({"-h"}).kind, ArgumentRequest::Kind::Help);
    EXPECT_EQ(ReadArguments({"/s", "--version"}).kind, ArgumentRequest::Kind::Version);
    EXPECT_NE(UsageText("lumen-ribbon-host").find("--preview"), std::string::npos);
}
