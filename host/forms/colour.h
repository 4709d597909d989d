#pragma once
// An RGB colour of the host's forms, one byte per channel.

#include <cstdint>

struct Rgb {
    uint8_t red = 0;
    uint8_t green = 0;
    uint8_t blue = 0;
};

inline bool operator==(const Rgb& a, const Rgb& b) {
    return a.red == b.red && a.green == b.green && a.blue == b.blue;
}
inline bool operator!=(const Rgb& a, const Rgb& b) {
    return !(a == b);
}

// The colour as the system's 0x00BBGGRR colour value.
constexpr uint32_t ColourRef(Rgb c) {
    return static_cast<uint32_t>(c.red) | static_cast<uint32_t>(c.green) << 8 |
           static_cast<uint32_t>(c.blue) << 16;
}
