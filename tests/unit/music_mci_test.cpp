#include <gtest/gtest.h>

#include <cstring>

#include "host/music/mci.h"
#include "tests/unit/music_fake_sound.h"

namespace {

struct MciTest : ::testing::Test {
    FakeSound sound;
    int32_t apiResult = 12345;
    Lumen_Ribbon_BGM bgm{sound, apiResult};
};

TEST_F(MciTest, SendReturnsTheAnswerWrittenIntoTheFullSizeReturnBuffer) {
    sound.overrides["status cdaudio mode"] = {0, "playing", true};
    std::string answer = "old";
    EXPECT_EQ(MciSend(bgm, "status cdaudio mode", answer), 0);
    EXPECT_EQ(answer, "playing");
    EXPECT_EQ(apiResult, 0);
    ASSERT_EQ(sound.sent.size(), 1u);
    EXPECT_EQ(sound.sent[0].answerSize, 512u);
    EXPECT_EQ(sound.describeCalls, 0);
}

TEST_F(MciTest, EmptyCommandIsNeverSent) {
    std::string answer;
    EXPECT_EQ(MciSend(bgm, "", answer), -1);
    EXPECT_EQ(answer, "コマンド文字列が指定されていません");

    EXPECT_EQ(MciQuery(bgm, ""), "Error:-1");
    EXPECT_EQ(apiResult, -1);
    EXPECT_TRUE(sound.sent.empty());
}

TEST_F(MciTest, FailedSendAnswersTheErrorDescriptionOrItsPlaceholder) {
    std::string answer;
    EXPECT_EQ(MciSend(bgm, "status cdaudio mode", answer), kMciErrInvalidDeviceName);
    EXPECT_EQ(answer, "The specified device is not open.");
    EXPECT_EQ(apiResult, kMciErrInvalidDeviceName);

    sound.overrides["status cdaudio mode"] = {kMciErrDeviceNotReady, "", false};
    EXPECT_EQ(MciSend(bgm, "status cdaudio mode", answer), kMciErrDeviceNotReady);
    EXPECT_EQ(answer, "Error (文字列が取れません)");
}

TEST_F(MciTest, QueryOfADeviceThatIsNotOpenGivesTheErrorMarker) {
    const std::string answer = MciQuery(bgm, "status cdaudio current track");
    EXPECT_EQ(answer, "Error:263");
    // The description stays behind in MciAnswer; only the marker is returned.
    EXPECT_EQ(bgm.MciAnswer, "The specified device is not open.");
    EXPECT_EQ(apiResult, kMciErrInvalidDeviceName);
}

TEST_F(MciTest, QueryReturnsTheAnswerOnSuccess) {
    sound.cdOpen = true;
    sound.cdTrack = 7;
    EXPECT_EQ(MciQuery(bgm, "status cdaudio current track"), "7");
    EXPECT_EQ(bgm.MciAnswer, "7");
}

TEST_F(MciTest, ReturnBufferKeepsItsContentsBetweenCalls) {
    sound.overrides["status a"] = {0, "12345", true};
    sound.overrides["status b"] = {0, "7", true};
    sound.overrides["status c"] = {0, "", false};  // succeeds but writes nothing

    EXPECT_EQ(MciQuery(bgm, "status a"), "12345");
    EXPECT_EQ(MciQuery(bgm, "status b"), "7");
    // Only the start was overwritten; the rest of the old answer is still there.
    EXPECT_EQ(std::memcmp(bgm.MciReturnText.data(),
                          "7\0"
                          "345",
                          5),
              0);
    EXPECT_EQ(MciQuery(bgm, "status c"), "7");
}

TEST_F(MciTest, ReturnBufferFilledToTheEndIsReadWithoutOverrun) {
    sound.overrides["status long"] = {0, std::string(600, 'x'), true};
    EXPECT_EQ(MciQuery(bgm, "status long"), std::string(511, 'x'));
    bgm.MciReturnText.fill('y');  // no NUL anywhere
    sound.overrides["status long"] = {0, "", false};
    EXPECT_EQ(MciQuery(bgm, "status long"), std::string(512, 'y'));
}

TEST_F(MciTest, PlayLeavesOutEmptyPositions) {
    sound.overrides.clear();
    MciPlay(bgm, "cdaudio", "03:00:00:00", "");
    MciPlay(bgm, "cdaudio", "03:00:00:00", "04:00:00:00");
    MciPlay(bgm, "cdaudio", "", "04:00:00:00");
    MciPlay(bgm, "cdaudio", "", "");
    EXPECT_EQ(sound.Commands(), (std::vector<std::string>{
                                    "play cdaudio from 03:00:00:00",
                                    "play cdaudio from 03:00:00:00 to 04:00:00:00",
                                    "play cdaudio to 04:00:00:00",
                                    "play cdaudio",
                                }));
}

TEST_F(MciTest, PlayReturnsTheErrorCodeAndLeavesTheAnswerInMciAnswer) {
    EXPECT_EQ(MciPlay(bgm, "cdaudio", "", ""), kMciErrInvalidDeviceName);
    EXPECT_EQ(bgm.MciAnswer, "The specified device is not open.");
}

}  // namespace
