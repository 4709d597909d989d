#pragma once
// State of the music module: the answer buffers it hands to the sound system,
// which keep their contents between calls, and the CD poll's success flag.

#include <array>
#include <cstdint>
#include <string>

#include "host/music/sound_system.h"

struct Lumen_Ribbon_BGM {
    Lumen_Ribbon_BGM(SoundSystem& soundSystem, int32_t& apiResult)
        : sound(soundSystem), ApiResult(apiResult) {}

    SoundSystem& sound;
    // The host's shared place for system call results; written, rarely read.
    int32_t& ApiResult;

    std::array<char, 512> MciReturnText{};
    std::array<char, 256> MciErrorText{};
    std::string MciAnswer;
    bool CdOk = false;
    std::array<char, 256> CdModeText{};
    std::array<char, 30> Mp3ModeText{};
};

// The text of a fixed-length buffer: its bytes up to the first NUL, or all of them.
template <size_t N>
std::string BufferText(const std::array<char, N>& buffer) {
    size_t length = 0;
    while (length < N && buffer[length] != '\0') ++length;
    return std::string(buffer.data(), length);
}
