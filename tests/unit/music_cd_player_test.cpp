#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "host/music/cd_player.h"
#include "host/music/mci_interpreter.h"
#include "host/music/playback.h"

namespace {

// A drive whose disc the test takes out and puts in.
struct FakeDrive : CdDrive {
    std::optional<int> tracks = 10;
    std::optional<int> TrackCount() override { return tracks; }
};

// The disc's sound, with every start recorded.
struct FakeStream : CdStream {
    MediaMode mode = MediaMode::NotReady;
    std::vector<std::pair<int, uint32_t>> starts;
    int closes = 0;

    bool Open() override {
        mode = MediaMode::Stopped;
        return true;
    }
    void Close() override {
        ++closes;
        mode = MediaMode::NotReady;
    }
    bool Start(int track, uint32_t offsetMs) override {
        starts.emplace_back(track, offsetMs);
        mode = MediaMode::Playing;
        return true;
    }
    bool Resume() override {
        mode = MediaMode::Playing;
        return true;
    }
    void Pause() override { mode = MediaMode::Stopped; }
    MediaMode Mode() const override { return mode; }
};

struct MusicCdPlayer : ::testing::Test {
    FakeDrive drive;
    FakeStream stream;
    CdPlayer cd{drive, stream};
};

TEST_F(MusicCdPlayer, DiscTakenOutWhilePlayingAnswersNothingAndIsNoLongerHeard) {
    ASSERT_TRUE(cd.Open());
    ASSERT_TRUE(cd.Play(CdPosition{8, 0}));
    EXPECT_EQ(cd.CurrentTrack(), 8);

    drive.tracks.reset();
    EXPECT_EQ(cd.CurrentTrack(), std::nullopt);
    EXPECT_EQ(cd.TrackCount(), std::nullopt);
    EXPECT_EQ(cd.Mode(), MediaMode::NotReady);
    EXPECT_EQ(stream.mode, MediaMode::NotReady) << "the old disc's sound is stopped";
    EXPECT_FALSE(cd.Play(std::nullopt));
    cd.TrackEnded();
    EXPECT_EQ(stream.starts.size(), 1u) << "nothing starts without a disc";
}

TEST_F(MusicCdPlayer, NextDiscIsAnsweredByItsOwnTracksFromItsFirst) {
    ASSERT_TRUE(cd.Open());
    ASSERT_TRUE(cd.Play(CdPosition{9, 0}));
    drive.tracks.reset();
    EXPECT_EQ(cd.Mode(), MediaMode::NotReady);
    drive.tracks = 3;
    EXPECT_EQ(cd.TrackCount(), 3);
    EXPECT_EQ(cd.CurrentTrack(), 1);
    EXPECT_FALSE(cd.Play(CdPosition{4, 0}));
    ASSERT_TRUE(cd.Play(std::nullopt));
    cd.TrackEnded();
    cd.TrackEnded();
    cd.TrackEnded();  // the end of track 3, the disc's last
    EXPECT_EQ(stream.starts,
              (std::vector<std::pair<int, uint32_t>>{{9, 0}, {1, 0}, {2, 0}, {3, 0}}));

    // A disc changed between two questions, with fewer tracks than the one that played.
    ASSERT_TRUE(cd.Play(CdPosition{3, 0}));
    drive.tracks = 2;
    EXPECT_EQ(cd.CurrentTrack(), 1);
}

TEST_F(MusicCdPlayer, StoppedDiscPlaysOnFromWhereItStoppedAndAfterItsEndFromTheStart) {
    ASSERT_TRUE(cd.Open());
    ASSERT_TRUE(cd.Play(std::nullopt));
    EXPECT_TRUE(stream.starts.empty()) << "the opened first track plays on";
    ASSERT_TRUE(cd.Play(CdPosition{10, 1500}));
    cd.Stop();
    ASSERT_TRUE(cd.Play(std::nullopt));
    EXPECT_EQ(stream.starts.size(), 1u);
    cd.TrackEnded();
    stream.mode = MediaMode::Stopped;
    ASSERT_TRUE(cd.Play(std::nullopt));
    EXPECT_EQ(stream.starts.back(), (std::pair<int, uint32_t>{1, 0}));
}

// The music module's CD poll over the interpreter and a player whose CD is the CdPlayer.
struct CdOnlyPlayer : MediaPlayer {
    explicit CdOnlyPlayer(CdPlayer& cd) : cd(cd) {}
    bool OpenCd() override { return cd.Open(); }
    void CloseCd() override { cd.Close(); }
    std::optional<int> CdTrackCount() override { return cd.TrackCount(); }
    std::optional<int> CdCurrentTrack() override { return cd.CurrentTrack(); }
    MediaMode CdMode() override { return cd.Mode(); }
    bool PlayCd(std::optional<CdPosition> from) override { return cd.Play(from); }
    void StopCd() override { cd.Stop(); }
    bool OpenFile(const std::string&) override { return false; }
    void CloseFile() override {}
    MediaMode FileMode() override { return MediaMode::NotReady; }
    bool PlayFile(std::optional<uint32_t>) override { return false; }
    void StopFile() override {}
    int32_t OutputDeviceCount() override { return 0; }
    bool PlaySound(const std::string&, bool) override { return false; }
    void StopSound() override {}
    CdPlayer& cd;
};

TEST_F(MusicCdPlayer, PollEndsAtTheFirstPollAfterTheDiscIsTakenOut) {
    MciInterpreter sound{std::make_unique<CdOnlyPlayer>(cd)};
    int32_t apiResult = 0;
    Lumen_Ribbon_BGM bgm{sound, apiResult};
    CdOpen(bgm);
    for (int16_t repeat : {0, 3}) {
        CdKeepPlaying(bgm, repeat);
        EXPECT_TRUE(bgm.CdOk);
    }
    EXPECT_EQ(stream.starts, (std::vector<std::pair<int, uint32_t>>{{3, 0}}));

    drive.tracks.reset();
    CdKeepPlaying(bgm, 3);
    EXPECT_FALSE(bgm.CdOk);
    EXPECT_EQ(apiResult, kMciErrDeviceNotReady);
    EXPECT_EQ(stream.starts.size(), 1u);
    EXPECT_EQ(stream.mode, MediaMode::NotReady);
}

}  // namespace
