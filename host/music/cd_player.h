#pragma once
// The audio CD half of a media player, apart from the platform: which track plays and what the
// disc in the drive holds. Every answer is asked of the drive at the time, so that a disc taken
// out shows at the next question, and a disc put in is answered by its own tracks.

#include <cstdint>
#include <optional>

#include "host/music/media_player.h"

// The drive as it is now.
class CdDrive {
  public:
    virtual ~CdDrive() = default;
    // The number of tracks on the disc in the drive; nullopt when the drive is empty, open or
    // cannot read the disc.
    virtual std::optional<int> TrackCount() = 0;
};

// The sound of the disc, one track at a time.
class CdStream {
  public:
    virtual ~CdStream() = default;
    // Reaches the drive and waits until its first track can play; false without a drive.
    virtual bool Open() = 0;
    virtual void Close() = 0;
    // Plays the track from offsetMs into it; false when it cannot.
    virtual bool Start(int track, uint32_t offsetMs) = 0;
    // Plays on from where Pause left it.
    virtual bool Resume() = 0;
    virtual void Pause() = 0;
    // NotReady once closed, or before Open.
    virtual MediaMode Mode() const = 0;
};

class CdPlayer {
  public:
    CdPlayer(CdDrive& drive, CdStream& stream) : drive_(drive), stream_(stream) {}

    bool Open();
    void Close();
    std::optional<int> TrackCount();
    // The track playing, or the one where play stopped; nullopt without a disc.
    std::optional<int> CurrentTrack();
    MediaMode Mode();
    // Plays on to the end of the disc, from `from`, or from where play stopped when nullopt
    // (the start of the disc once the disc has ended).
    bool Play(std::optional<CdPosition> from);
    void Stop();
    // The stream has played a track to its end: the disc plays on into the next one, or stops
    // after its last.
    void TrackEnded();

  private:
    // The disc's track count now. A disc that has gone, or one that is not the disc the
    // current track belongs to, starts again from its first track.
    std::optional<int> Disc();

    CdDrive& drive_;
    CdStream& stream_;
    int track_ = 1;
    bool discEnded_ = false;
};
