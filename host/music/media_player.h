#pragma once
// What a platform must provide to play the background music without MCI: the audio CD, one
// music file, and the system sound that loops a file in the background. The MCI interpreter
// (mci_interpreter.h) drives it; each platform file keeps its own state.

#include <cstdint>
#include <optional>
#include <string>

enum class MediaMode { NotReady, Stopped, Playing };

// A place on the audio CD: a track and a time into it.
struct CdPosition {
    int track = 1;
    uint32_t offsetMs = 0;
};

class MediaPlayer {
  public:
    virtual ~MediaPlayer() = default;

    // The audio CD drive; OpenCd fails when there is none.
    virtual bool OpenCd() = 0;
    virtual void CloseCd() = 0;
    // The number of tracks, or nullopt without a readable disc.
    virtual std::optional<int> CdTrackCount() = 0;
    // The track playing, or the one where play stopped; nullopt without a readable disc.
    virtual std::optional<int> CdCurrentTrack() = 0;
    virtual MediaMode CdMode() = 0;
    // Plays on to the end of the disc, from `from`, or from where play stopped when nullopt
    // (the start of the disc once the disc has ended).
    virtual bool PlayCd(std::optional<CdPosition> from) = 0;
    virtual void StopCd() = 0;

    // One music file (MP3 or WAV), given by its full path.
    virtual bool OpenFile(const std::string& path) = 0;
    virtual void CloseFile() = 0;
    virtual MediaMode FileMode() = 0;
    // Plays to the end of the file, from `fromMs`, or from where play stopped when nullopt.
    virtual bool PlayFile(std::optional<uint32_t> fromMs) = 0;
    virtual void StopFile() = 0;

    // The system sound: a file played in the background, once or looping, until StopSound.
    virtual int32_t OutputDeviceCount() = 0;
    virtual bool PlaySound(const std::string& path, bool loop) = 0;
    virtual void StopSound() = 0;
};
