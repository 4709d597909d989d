#pragma once
// What a platform must provide for the background music: MCI command strings,
// their error descriptions, the wave output devices and the system sound player.
// Texts are UTF-8; each platform converts them at its own boundary.

#include <cstdint>
#include <memory>
#include <string>

// PlaySound flags the music module passes.
constexpr uint32_t kSoundAsync = 0x0001;
constexpr uint32_t kSoundNoDefault = 0x0002;  // a file that cannot be played stays silent
constexpr uint32_t kSoundLoop = 0x0008;

class SoundSystem {
  public:
    virtual ~SoundSystem() = default;
    // Sends one MCI command string and returns its error code, 0 on success. An
    // answer is written NUL-terminated at the start of `answer`, at most
    // `answerSize` bytes; the rest of the buffer is left as it was, and a failing
    // command may write nothing at all. `answer` may be null when `answerSize` is 0.
    virtual int32_t SendCommand(const std::string& command, char* answer, uint32_t answerSize) = 0;
    // Writes the description of an MCI error code into `buffer` the same way;
    // false when the system has none.
    virtual bool DescribeError(int32_t code, char* buffer, uint32_t bufferSize) = 0;
    virtual int32_t WaveOutputDeviceCount() = 0;
    // Plays the sound file `name` with the given flags; a null name stops any
    // sound this player has started. Returns the player's success flag.
    virtual bool PlaySoundName(const char* name, uint32_t flags) = 0;
};

// The platform's own sound system; defined by the platform file that the build picks.
std::unique_ptr<SoundSystem> CreateSoundSystem();
