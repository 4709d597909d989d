#pragma once
// The sound system for platforms without MCI: the command strings the music module sends,
// interpreted over a MediaPlayer, with MCI's answers and error numbers.
//
// Devices: "cdaudio", and one file opened with "open "<path>" type <type> alias <name>"; the
// path runs from the first double quote to the last, so it may hold quotes of its own.
// Commands: open, close, stop, set ... time format (tmsf, msf, milliseconds), status ... mode,
// current track, number of tracks, position track <n>, play [from <position>], and seek to
// <position>, start or end. Keywords, device names and aliases are matched without regard to
// case. CD positions are read and answered in the track format only.

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "host/music/media_player.h"
#include "host/music/sound_system.h"

// The MCI error numbers this interpreter answers.
constexpr int32_t kMciErrUnrecognizedKeyword = 259;
constexpr int32_t kMciErrUnrecognizedCommand = 261;
constexpr int32_t kMciErrHardware = 262;
constexpr int32_t kMciErrInvalidDevice = 263;
constexpr int32_t kMciErrDeviceAlreadyOpen = 265;
constexpr int32_t kMciErrParameterOverflow = 268;
constexpr int32_t kMciErrBadInteger = 270;
constexpr int32_t kMciErrMissingParameter = 273;
constexpr int32_t kMciErrUnsupportedFunction = 274;
constexpr int32_t kMciErrFileNotFound = 275;
constexpr int32_t kMciErrDeviceNotReady = 276;
constexpr int32_t kMciErrOutOfRange = 282;
constexpr int32_t kMciErrDuplicateAlias = 289;
constexpr int32_t kMciErrBadTimeFormat = 293;
constexpr int32_t kMciErrNoClosingQuote = 294;

class MciInterpreter : public SoundSystem {
  public:
    explicit MciInterpreter(std::unique_ptr<MediaPlayer> player);

    int32_t SendCommand(const std::string& command, char* answer, uint32_t answerSize) override;
    bool DescribeError(int32_t code, char* buffer, uint32_t bufferSize) override;
    int32_t WaveOutputDeviceCount() override;
    bool PlaySoundName(const char* name, uint32_t flags) override;

  private:
    enum class TimeFormat { Milliseconds, Msf, Tmsf };
    struct Reply {
        int32_t code = 0;
        std::string text;
    };
    using Words = std::vector<std::string>;

    Reply Run(const Words& words);
    Reply Open(const Words& words);
    Reply RunCd(const std::string& verb, const Words& words);
    Reply RunFile(const std::string& verb, const Words& words);
    // The track formats (msf, tmsf) are the CD's only.
    static std::optional<TimeFormat> TimeFormatOf(const Words& words, bool cd, int32_t& error);
    Reply CdStatus(const Words& words);
    std::optional<CdPosition> CdPositionFrom(const std::string& text, int32_t& error);

    std::unique_ptr<MediaPlayer> player_;
    bool cdOpen_ = false;
    TimeFormat cdFormat_ = TimeFormat::Msf;
    std::optional<CdPosition> cdSeek_;
    std::optional<std::string> fileAlias_;  // lower-case
    std::optional<uint32_t> fileSeek_;
};
