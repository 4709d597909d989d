#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <set>
#include <string>

#include "host/music/mci.h"
#include "host/music/mci_interpreter.h"
#include "host/music/playback.h"

namespace {

// A media player with a disc of ten tracks, music files that end on request, and a sound.
struct FakePlayer : MediaPlayer {
    bool drive = true;
    bool disc = true;
    int tracks = 10;
    bool cdOpen = false;
    MediaMode cdMode = MediaMode::Stopped;
    int track = 1;
    bool discEnded = false;
    int cdPlays = 0;

    std::set<std::string> playableFiles;
    bool fileOpen = false;
    MediaMode fileMode = MediaMode::Stopped;
    std::optional<uint32_t> lastFileStart;
    int filePlays = 0;

    int32_t devices = 1;
    std::optional<std::string> sound;
    bool soundLoops = false;

    // The playing track comes to its end.
    void EndOfTrack() {
        if (cdMode != MediaMode::Playing) return;
        if (track < tracks) {
            ++track;
        } else {
            cdMode = MediaMode::Stopped;
            discEnded = true;
        }
    }
    void EndOfFile() { fileMode = MediaMode::Stopped; }

    bool OpenCd() override { return cdOpen = drive; }
    void CloseCd() override { cdOpen = false; }
    std::optional<int> CdTrackCount() override {
        return disc ? std::optional<int>(tracks) : std::nullopt;
    }
    std::optional<int> CdCurrentTrack() override {
        return disc ? std::optional<int>(track) : std::nullopt;
    }
    MediaMode CdMode() override { return disc ? cdMode : MediaMode::NotReady; }
    bool PlayCd(std::optional<CdPosition> from) override {
        ++cdPlays;
        if (from) track = from->track;
        if (!from && discEnded) track = 1;
        discEnded = false;
        cdMode = MediaMode::Playing;
        return true;
    }
    void StopCd() override { cdMode = MediaMode::Stopped; }

    bool OpenFile(const std::string& path) override {
        return fileOpen = playableFiles.count(path) > 0;
    }
    void CloseFile() override { fileOpen = false; }
    MediaMode FileMode() override { return fileMode; }
    bool PlayFile(std::optional<uint32_t> fromMs) override {
        ++filePlays;
        lastFileStart = fromMs;
        fileMode = MediaMode::Playing;
        return true;
    }
    void StopFile() override { fileMode = MediaMode::Stopped; }

    int32_t OutputDeviceCount() override { return devices; }
    bool PlaySound(const std::string& path, bool loop) override {
        sound = path;
        soundLoops = loop;
        return true;
    }
    void StopSound() override { sound.reset(); }
};

struct MusicInterpreterTest : ::testing::Test {
    std::unique_ptr<FakePlayer> owned = std::make_unique<FakePlayer>();
    FakePlayer& player = *owned;
    MciInterpreter sound{std::move(owned)};
    int32_t apiResult = 0;
    Lumen_Ribbon_BGM bgm{sound, apiResult};

    std::string Answer(const std::string& command, int32_t expectedCode = 0) {
        char buffer[64] = "untouched";
        EXPECT_EQ(sound.SendCommand(command, buffer, sizeof buffer), expectedCode) << command;
        return buffer;
    }
};

TEST_F(MusicInterpreterTest, RepeatedCdTrackIsPlayedAgainWheneverTheDiscLeavesIt) {
    CdOpen(bgm);
    CdKeepPlaying(bgm, 3);
    EXPECT_TRUE(bgm.CdOk);
    EXPECT_EQ(player.cdMode, MediaMode::Playing);
    EXPECT_EQ(player.track, 3);
    for (int round = 0; round < 3; ++round) {
        CdKeepPlaying(bgm, 3);
        EXPECT_EQ(player.cdPlays, round + 1) << "nothing is sent while track 3 plays";
        player.EndOfTrack();
        CdKeepPlaying(bgm, 3);
        EXPECT_EQ(player.track, 3);
        EXPECT_EQ(player.cdMode, MediaMode::Playing);
        EXPECT_TRUE(bgm.CdOk);
    }

    // The last track stops the disc, and is played again too.
    CdKeepPlaying(bgm, 10);
    player.EndOfTrack();
    ASSERT_EQ(player.cdMode, MediaMode::Stopped);
    CdKeepPlaying(bgm, 10);
    EXPECT_EQ(player.track, 10);
    EXPECT_EQ(player.cdMode, MediaMode::Playing);

    CdClose(bgm);
    EXPECT_FALSE(player.cdOpen);
    EXPECT_EQ(player.cdMode, MediaMode::Stopped);
}

TEST_F(MusicInterpreterTest, WholeDiscPlaysOnAndStartsAgainAfterItsEnd) {
    CdOpen(bgm);
    CdKeepPlaying(bgm, 0);
    EXPECT_EQ(player.cdMode, MediaMode::Playing);
    EXPECT_EQ(player.track, 1);
    for (int i = 1; i < 10; ++i) {
        player.EndOfTrack();
        CdKeepPlaying(bgm, 0);
    }
    EXPECT_EQ(player.track, 10);
    EXPECT_EQ(player.cdPlays, 1);
    player.EndOfTrack();
    CdKeepPlaying(bgm, 0);
    EXPECT_EQ(player.cdPlays, 2);
    EXPECT_EQ(player.track, 1);
    EXPECT_TRUE(bgm.CdOk);
}

TEST_F(MusicInterpreterTest, NoDriveOrNoDiscEndsThePollingAfterOnePoll) {
    player.drive = false;
    CdOpen(bgm);
    CdKeepPlaying(bgm, 3);
    EXPECT_FALSE(bgm.CdOk);
    EXPECT_EQ(apiResult, kMciErrInvalidDevice);
    EXPECT_EQ(bgm.MciAnswer, "The device is not open or is not known.");

    player.drive = true;
    player.disc = false;
    CdOpen(bgm);
    CdKeepPlaying(bgm, 0);
    EXPECT_FALSE(bgm.CdOk);
    EXPECT_EQ(apiResult, kMciErrDeviceNotReady);
    EXPECT_EQ(player.cdPlays, 0);
}

TEST_F(MusicInterpreterTest, TrackBeyondTheDiscFailsItsPlayButKeepsPolling) {
    CdOpen(bgm);
    CdKeepPlaying(bgm, 12);
    EXPECT_TRUE(bgm.CdOk);
    EXPECT_NE(apiResult, 0);
    EXPECT_EQ(player.cdPlays, 0);
    EXPECT_EQ(MciQuery(bgm, "status cdaudio position track 12"), "Error:282");
}

TEST_F(MusicInterpreterTest, Mp3PlaysFromItsStartAgainAfterItsEnd) {
    player.playableFiles = {"/home/u/Music/song one.mp3"};
    Mp3OpenAndPlay(bgm, "/home/u/Music/song one.mp3");
    EXPECT_TRUE(player.fileOpen);
    EXPECT_TRUE(Mp3IsPlaying(bgm));
    Mp3Restart(bgm);
    EXPECT_EQ(player.filePlays, 1);

    player.EndOfFile();
    Mp3Restart(bgm);
    EXPECT_EQ(player.filePlays, 2);
    EXPECT_EQ(player.lastFileStart, std::optional<uint32_t>(0));
    EXPECT_TRUE(Mp3IsPlaying(bgm));

    Mp3Close(bgm);
    EXPECT_FALSE(player.fileOpen);
    EXPECT_EQ(player.fileMode, MediaMode::Stopped);
}

TEST_F(MusicInterpreterTest, Mp3WhosePathHoldsQuotesIsOpenedByItsWholePath) {
    for (const std::string path :
         {"/m/say \"hi\".mp3", "/m/\"", "/m/a\" type WaveAudio Alias X \".mp3"}) {
        player.playableFiles = {path};
        Mp3OpenAndPlay(bgm, path);
        EXPECT_EQ(apiResult, 0) << path;
        EXPECT_TRUE(Mp3IsPlaying(bgm)) << path;
        Mp3Close(bgm);
        EXPECT_FALSE(player.fileOpen) << path;
    }
}

TEST_F(MusicInterpreterTest, Mp3ThatCannotBeOpenedIsNeverPlayed) {
    Mp3OpenAndPlay(bgm, "/gone.mp3");
    EXPECT_EQ(apiResult, kMciErrFileNotFound);
    Mp3Restart(bgm);
    EXPECT_EQ(apiResult, kMciErrInvalidDevice);
    EXPECT_EQ(player.filePlays, 0);
}

TEST_F(MusicInterpreterTest, WaveLoopsInTheBackgroundUntilStopped) {
    WavePlay(bgm, "/m/loop.wav");
    EXPECT_EQ(player.sound, std::optional<std::string>("/m/loop.wav"));
    EXPECT_TRUE(player.soundLoops);
    EXPECT_EQ(apiResult, 1);
    WaveStop(bgm);
    EXPECT_EQ(player.sound, std::nullopt);

    player.devices = 0;
    WavePlay(bgm, "/m/loop.wav");
    EXPECT_EQ(player.sound, std::nullopt);
}

TEST_F(MusicInterpreterTest, CommandsAnswerAsMciDoes) {
    // Nothing is written on failure; success writes at the start of the buffer.
    EXPECT_EQ(Answer("status cdaudio mode", kMciErrInvalidDevice), "untouched");
    EXPECT_EQ(Answer("OPEN CDAudio"), "");
    EXPECT_EQ(Answer("Status CDAUDIO  Mode"), "stopped");
    EXPECT_EQ(Answer("status cdaudio position track 3", kMciErrUnsupportedFunction), "untouched");
    EXPECT_EQ(Answer("set cdaudio time format tmsf"), "");
    EXPECT_EQ(Answer("status cdaudio position track 3"), "03:00:00:00");
    EXPECT_EQ(Answer("status cdaudio position track x", kMciErrBadInteger), "untouched");
    EXPECT_EQ(Answer("status cdaudio number of tracks"), "10");
    EXPECT_EQ(Answer("open cdaudio", kMciErrDeviceAlreadyOpen), "untouched");
    EXPECT_EQ(Answer("play cdaudio from Error:282", kMciErrBadTimeFormat), "untouched");
    EXPECT_EQ(Answer("play cdaudio from 3 to 4", kMciErrUnsupportedFunction), "untouched");
    EXPECT_EQ(Answer("seek cdaudio to 1:99999999", kMciErrOutOfRange), "untouched");
    EXPECT_EQ(Answer("seek cdaudio to 5:00:10:00"), "");
    EXPECT_EQ(Answer("play cdaudio"), "");
    EXPECT_EQ(player.track, 5);
    EXPECT_EQ(Answer("status cdaudio current track"), "5");
    EXPECT_EQ(Answer("status cdaudio volume", kMciErrUnrecognizedKeyword), "untouched");

    char small[4] = "abc";
    EXPECT_EQ(sound.SendCommand("status cdaudio mode", small, sizeof small),
              kMciErrParameterOverflow);
    EXPECT_EQ(std::string(small), "abc");
    EXPECT_EQ(sound.SendCommand("stop cdaudio", nullptr, 0), 0);

    player.playableFiles = {"/a b/c.mp3"};
    EXPECT_EQ(Answer("open \"/a b/c.mp3 type MPEGVideo", kMciErrNoClosingQuote), "untouched");
    EXPECT_EQ(Answer("open \"/a b/c.mp3\" type MPEGVideo Alias MP3Play"), "");
    EXPECT_EQ(Answer("open \"/a b/c.mp3\" type MPEGVideo Alias mp3play", kMciErrDuplicateAlias),
              "untouched");
    EXPECT_EQ(Answer("set MP3Play time format tmsf", kMciErrBadTimeFormat), "untouched");
    EXPECT_EQ(Answer("status mp3play mode"), "stopped");
    EXPECT_EQ(Answer("frobnicate mp3play", kMciErrUnrecognizedCommand), "untouched");

    char text[80];
    EXPECT_TRUE(sound.DescribeError(kMciErrFileNotFound, text, sizeof text));
    EXPECT_STREQ(text, "The file cannot be found or played.");
    EXPECT_FALSE(sound.DescribeError(12345, text, sizeof text));
}

}  // namespace
