#include "host/music/cd_player.h"

bool CdPlayer::Open() {
    if (!stream_.Open()) return false;
    track_ = 1;
    discEnded_ = false;
    return true;
}

void CdPlayer::Close() {
    stream_.Close();
}

std::optional<int> CdPlayer::Disc() {
    const std::optional<int> tracks = drive_.TrackCount();
    if (!tracks || track_ > *tracks) {
        // Whatever the stream still plays or holds is of a disc no longer there.
        if (!tracks && stream_.Mode() != MediaMode::NotReady) stream_.Close();
        track_ = 1;
        discEnded_ = false;
    }
    return tracks;
}

std::optional<int> CdPlayer::TrackCount() {
    return Disc();
}

std::optional<int> CdPlayer::CurrentTrack() {
    if (!Disc()) return std::nullopt;
    return track_;
}

MediaMode CdPlayer::Mode() {
    return Disc() ? stream_.Mode() : MediaMode::NotReady;
}

bool CdPlayer::Play(std::optional<CdPosition> from) {
    const std::optional<int> tracks = Disc();
    if (!tracks || (from && (from->track < 1 || from->track > *tracks))) return false;
    if (!from && !discEnded_ && stream_.Mode() != MediaMode::NotReady) return stream_.Resume();
    const CdPosition start = from ? *from : CdPosition{discEnded_ ? 1 : track_, 0};
    discEnded_ = false;
    track_ = start.track;
    return stream_.Start(start.track, start.offsetMs);
}

void CdPlayer::Stop() {
    stream_.Pause();
}

void CdPlayer::TrackEnded() {
    const std::optional<int> tracks = Disc();
    if (!tracks || track_ >= *tracks) {
        discEnded_ = true;
        return;
    }
    ++track_;
    stream_.Start(track_, 0);
}
