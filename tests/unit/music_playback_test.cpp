#include <gtest/gtest.h>

#include "host/music/playback.h"
#include "tests/unit/music_fake_sound.h"

namespace {

using Commands = std::vector<std::string>;

struct PlaybackTest : ::testing::Test {
    FakeSound sound;
    int32_t apiResult = 0;
    Lumen_Ribbon_BGM bgm{sound, apiResult};

    // Commands sent by one call of `operation`.
    template <typename Operation>
    Commands SentBy(Operation operation) {
        const size_t before = sound.sent.size();
        operation();
        const Commands all = sound.Commands();
        return Commands(all.begin() + static_cast<long>(before), all.end());
    }

    Commands Poll(int16_t repeat) {
        return SentBy([&] { CdKeepPlaying(bgm, repeat); });
    }
};

const Commands kStatusQueries = {
    "status cdaudio current track",
    "status cdaudio number of tracks",
    "status cdaudio mode",
};

Commands StatusThen(std::initializer_list<std::string> more) {
    Commands commands = kStatusQueries;
    commands.insert(commands.end(), more);
    return commands;
}

TEST_F(PlaybackTest, CdOpenAndCloseSendTheirCommandsWithoutAnswer) {
    CdOpen(bgm);
    CdClose(bgm);
    EXPECT_EQ(sound.Commands(), (Commands{"open cdaudio", "set cdaudio time format tmsf",
                                          "stop cdaudio", "close cdaudio"}));
    for (const SentCommand& s : sound.sent) EXPECT_EQ(s.answerSize, 0u) << s.command;
    EXPECT_FALSE(sound.cdOpen);
}

TEST_F(PlaybackTest, FirstPollPlaysTheChosenTrackFromItsStart) {
    CdOpen(bgm);
    EXPECT_EQ(Poll(3),
              StatusThen({"status cdaudio position track 3", "play cdaudio from 03:00:00:00"}));
    EXPECT_TRUE(bgm.CdOk);
    EXPECT_TRUE(sound.cdPlaying);
    EXPECT_EQ(sound.cdTrack, 3);
    // The mode goes into its own buffer, one byte short of its length.
    EXPECT_EQ(sound.sent[4].answerSize, 255u);
    EXPECT_EQ(sound.sent[2].answerSize, 512u);
}

TEST_F(PlaybackTest, RepeatedTrackIsSoughtBackWithinOnePollAfterItEnds) {
    CdOpen(bgm);
    Poll(3);
    for (int round = 0; round < 3; ++round) {
        EXPECT_EQ(Poll(3), kStatusQueries) << "nothing is sent while track 3 plays";
        sound.EndOfCdTrack();
        ASSERT_EQ(sound.cdTrack, 4);
        EXPECT_EQ(Poll(3),
                  StatusThen({"status cdaudio position track 3", "play cdaudio from 03:00:00:00"}));
        EXPECT_EQ(sound.cdTrack, 3);
        EXPECT_TRUE(sound.cdPlaying);
        EXPECT_TRUE(bgm.CdOk);
    }
}

TEST_F(PlaybackTest, RepeatedTrackIsPlayedAgainWhenTheDiscStops) {
    CdOpen(bgm);
    Poll(10);
    sound.EndOfCdTrack();  // the last track ends: the disc stops on track 10
    ASSERT_FALSE(sound.cdPlaying);
    ASSERT_EQ(sound.cdTrack, 10);
    EXPECT_EQ(Poll(10),
              StatusThen({"status cdaudio position track 10", "play cdaudio from 10:00:00:00"}));
    EXPECT_TRUE(sound.cdPlaying);

    // Stopped on the chosen track itself counts too.
    sound.cdPlaying = false;
    sound.cdTrack = 3;
    EXPECT_EQ(Poll(3),
              StatusThen({"status cdaudio position track 3", "play cdaudio from 03:00:00:00"}));
}

TEST_F(PlaybackTest, WholeDiscIsToldToPlayOnlyWhenStopped) {
    CdOpen(bgm);
    sound.cdTrack = 5;
    EXPECT_EQ(Poll(0), StatusThen({"play cdaudio"}));
    EXPECT_TRUE(sound.cdPlaying);
    EXPECT_EQ(sound.cdTrack, 5);
    EXPECT_EQ(Poll(0), kStatusQueries);
    sound.EndOfCdTrack();
    EXPECT_EQ(Poll(0), kStatusQueries) << "the disc plays on into the next track";

    sound.cdTrack = 10;
    sound.EndOfCdTrack();
    EXPECT_EQ(Poll(0), StatusThen({"play cdaudio"}));
    EXPECT_TRUE(bgm.CdOk);
}

TEST_F(PlaybackTest, FailedTrackQueryEndsThePollAtOnce) {
    CdOpen(bgm);
    sound.overrides["status cdaudio current track"] = {kMciErrDeviceNotReady, "", false};
    EXPECT_EQ(Poll(3), (Commands{"status cdaudio current track"}));
    EXPECT_FALSE(bgm.CdOk);
    EXPECT_FALSE(sound.cdPlaying);
}

TEST_F(PlaybackTest, FailedTrackCountQueryEndsThePoll) {
    CdOpen(bgm);
    sound.overrides["status cdaudio number of tracks"] = {kMciErrDeviceNotReady, "", false};
    EXPECT_EQ(Poll(0),
              (Commands{"status cdaudio current track", "status cdaudio number of tracks"}));
    EXPECT_FALSE(bgm.CdOk);
}

TEST_F(PlaybackTest, PollWithoutAnyCdDeviceFails) {
    sound.cdDrive = false;
    CdOpen(bgm);
    CdKeepPlaying(bgm, 0);
    EXPECT_FALSE(bgm.CdOk);
}

TEST_F(PlaybackTest, EveryPollStartsOptimistic) {
    CdOpen(bgm);
    bgm.CdOk = false;
    Poll(0);
    EXPECT_TRUE(bgm.CdOk);
}

TEST_F(PlaybackTest, CurrentTrackThatIsNoNumberFailsTheTrackRepeat) {
    CdOpen(bgm);
    sound.overrides["status cdaudio current track"] = {0, "unknown", true};
    EXPECT_EQ(Poll(3), kStatusQueries);
    EXPECT_FALSE(bgm.CdOk);

    // The whole disc never reads the track as a number.
    EXPECT_EQ(Poll(0), StatusThen({"play cdaudio"}));
    EXPECT_TRUE(bgm.CdOk);
}

TEST_F(PlaybackTest, TrackBeyondTheDiscKeepsPollingWithAFailingPlay) {
    CdOpen(bgm);
    for (int round = 0; round < 3; ++round) {
        EXPECT_EQ(Poll(12),
                  StatusThen({"status cdaudio position track 12", "play cdaudio from Error:282"}));
        EXPECT_TRUE(bgm.CdOk);
        EXPECT_FALSE(sound.cdPlaying);
    }
}

TEST_F(PlaybackTest, Mp3OpensWithItsAliasAndPlays) {
    sound.playableFiles = {"C:\\Music\\song one.mp3"};
    Mp3OpenAndPlay(bgm, "C:\\Music\\song one.mp3");
    EXPECT_EQ(sound.Commands(),
              (Commands{"open \"C:\\Music\\song one.mp3\" type MPEGVideo Alias MP3Play",
                        "play MP3Play"}));
    EXPECT_EQ(sound.mp3Mode, "playing");
}

TEST_F(PlaybackTest, Mp3ThatCannotBeOpenedIsNotPlayed) {
    Mp3OpenAndPlay(bgm, "C:\\gone.mp3");
    EXPECT_EQ(sound.Commands(), (Commands{"open \"C:\\gone.mp3\" type MPEGVideo Alias MP3Play"}));
    EXPECT_EQ(apiResult, kMciErrFileNotFound);
}

TEST_F(PlaybackTest, Mp3IsPlayingOnlyAfterAPlayingAnswer) {
    // Never opened: the query fails and the untouched buffer holds only NULs.
    EXPECT_FALSE(Mp3IsPlaying(bgm));
    ASSERT_EQ(sound.sent.size(), 1u);
    EXPECT_EQ(sound.sent[0].command, "status MP3Play mode");
    EXPECT_EQ(sound.sent[0].answerSize, 30u);

    sound.playableFiles = {"a.mp3"};
    Mp3OpenAndPlay(bgm, "a.mp3");
    for (const char* mode : {"stopped", "paused", "seeking"}) {
        sound.mp3Mode = mode;
        EXPECT_FALSE(Mp3IsPlaying(bgm)) << mode;
    }
    sound.mp3Mode = "playing";
    EXPECT_TRUE(Mp3IsPlaying(bgm));
}

TEST_F(PlaybackTest, FailedModeQueryTestsThePreviousAnswerAgain) {
    sound.playableFiles = {"a.mp3"};
    Mp3OpenAndPlay(bgm, "a.mp3");
    EXPECT_TRUE(Mp3IsPlaying(bgm));
    Mp3Close(bgm);
    EXPECT_TRUE(Mp3IsPlaying(bgm));

    Mp3OpenAndPlay(bgm, "a.mp3");
    sound.mp3Mode = "stopped";
    EXPECT_FALSE(Mp3IsPlaying(bgm));
    Mp3Close(bgm);
    EXPECT_FALSE(Mp3IsPlaying(bgm));
}

TEST_F(PlaybackTest, Mp3RestartsFromTheStartOnlyAfterItEnded) {
    sound.playableFiles = {"a.mp3"};
    Mp3OpenAndPlay(bgm, "a.mp3");
    EXPECT_EQ(SentBy([&] { Mp3Restart(bgm); }), (Commands{"status MP3Play mode"}));

    sound.mp3Mode = "stopped";  // the end of the file
    EXPECT_EQ(SentBy([&] { Mp3Restart(bgm); }),
              (Commands{"status MP3Play mode", "stop MP3Play", "play MP3Play from 0"}));
    EXPECT_EQ(sound.mp3Mode, "playing");
}

TEST_F(PlaybackTest, Mp3CloseStopsThenCloses) {
    sound.playableFiles = {"a.mp3"};
    Mp3OpenAndPlay(bgm, "a.mp3");
    EXPECT_EQ(SentBy([&] { Mp3Close(bgm); }), (Commands{"stop MP3Play", "close MP3Play"}));
    EXPECT_FALSE(sound.mp3Open);
}

TEST_F(PlaybackTest, WaveLoopsAsynchronouslyAndStops) {
    WavePlay(bgm, "C:\\Music\\loop.wav");
    WaveStop(bgm);
    ASSERT_EQ(sound.sounds.size(), 2u);
    EXPECT_EQ(sound.sounds[0].name, std::optional<std::string>("C:\\Music\\loop.wav"));
    EXPECT_EQ(sound.sounds[0].flags, 11u) << "async, looped, never the default sound";
    EXPECT_EQ(sound.sounds[1].name, std::nullopt);
    EXPECT_EQ(sound.sounds[1].flags, 0u);
    EXPECT_TRUE(sound.sent.empty());
}

TEST_F(PlaybackTest, WaveIsSkippedWithoutAWaveDevice) {
    for (int32_t devices : {0, -1}) {
        sound.waveDevices = devices;
        WavePlay(bgm, "C:\\Music\\loop.wav");
    }
    EXPECT_TRUE(sound.sounds.empty());
}

}  // namespace
