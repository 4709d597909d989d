#include "host/music/playback.h"

#include <cstring>
#include <optional>

#include "host/music/mci.h"
#include "host/runtime/conversions.h"

namespace {

int32_t SendWithoutAnswer(Lumen_Ribbon_BGM& bgm, const std::string& command) {
    bgm.ApiResult = bgm.sound.SendCommand(command, nullptr, 0);
    return bgm.ApiResult;
}

bool IsErrorMarker(const std::string& answer) {
    std::string upper = answer;
    for (char& c : upper) {
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    }
    return upper.find("ERR") != std::string::npos;
}

// Compares the first bytes of a fixed-length buffer, NULs included.
template <size_t N>
bool BufferStartsWith(const std::array<char, N>& buffer, const char* prefix) {
    const size_t length = std::strlen(prefix);
    return length <= N && std::memcmp(buffer.data(), prefix, length) == 0;
}

}  // namespace

void CdOpen(Lumen_Ribbon_BGM& bgm) {
    SendWithoutAnswer(bgm, "open cdaudio");
    SendWithoutAnswer(bgm, "set cdaudio time format tmsf");
}

void CdKeepPlaying(Lumen_Ribbon_BGM& bgm, int16_t BgmRepeat) {
    bgm.CdOk = true;
    const std::string current = MciQuery(bgm, "status cdaudio current track");
    if (IsErrorMarker(current)) {
        bgm.CdOk = false;
        return;
    }
    if (IsErrorMarker(MciQuery(bgm, "status cdaudio number of tracks"))) {
        bgm.CdOk = false;
        return;
    }
    bgm.ApiResult = bgm.sound.SendCommand("status cdaudio mode", bgm.CdModeText.data(),
                                          static_cast<uint32_t>(bgm.CdModeText.size() - 1));
    const bool stopped = BufferStartsWith(bgm.CdModeText, "stopped");

    if (BgmRepeat != 0) {
        // The track answer is read as a number even when the disc has stopped; an
        // answer that is no number ends the poll like a failed query.
        const std::optional<double> currentTrack = NumberFromText(current);
        if (!currentTrack) {
            bgm.CdOk = false;
            return;
        }
        if (stopped || *currentTrack != BgmRepeat) {
            const std::string start =
                MciQuery(bgm, "status cdaudio position track " + std::to_string(BgmRepeat));
            MciPlay(bgm, "cdaudio", start, "");
        }
    } else if (stopped) {
        MciPlay(bgm, "cdaudio", "", "");
    }
}

void CdClose(Lumen_Ribbon_BGM& bgm) {
    SendWithoutAnswer(bgm, "stop cdaudio");
    SendWithoutAnswer(bgm, "close cdaudio");
}

void Mp3OpenAndPlay(Lumen_Ribbon_BGM& bgm, const std::string& BgmFile) {
    const std::string open = "open \"" + BgmFile + "\" type MPEGVideo Alias MP3Play";
    if (SendWithoutAnswer(bgm, open) == 0) SendWithoutAnswer(bgm, "play MP3Play");
}

bool Mp3IsPlaying(Lumen_Ribbon_BGM& bgm) {
    bgm.ApiResult = bgm.sound.SendCommand("status MP3Play mode", bgm.Mp3ModeText.data(),
                                          static_cast<uint32_t>(bgm.Mp3ModeText.size()));
    return BufferStartsWith(bgm.Mp3ModeText, "playing");
}

void Mp3Restart(Lumen_Ribbon_BGM& bgm) {
    if (Mp3IsPlaying(bgm)) return;
    SendWithoutAnswer(bgm, "stop MP3Play");
    SendWithoutAnswer(bgm, "play MP3Play from 0");
}

void Mp3Close(Lumen_Ribbon_BGM& bgm) {
    SendWithoutAnswer(bgm, "stop MP3Play");
    SendWithoutAnswer(bgm, "close MP3Play");
}

void WavePlay(Lumen_Ribbon_BGM& bgm, const std::string& BgmFile) {
    if (bgm.sound.WaveOutputDeviceCount() <= 0) return;
    bgm.ApiResult =
        bgm.sound.PlaySoundName(BgmFile.c_str(), kSoundAsync | kSoundNoDefault | kSoundLoop) ? 1
                                                                                             : 0;
}

void WaveStop(Lumen_Ribbon_BGM& bgm) {
    bgm.ApiResult = bgm.sound.PlaySoundName(nullptr, 0) ? 1 : 0;
}
