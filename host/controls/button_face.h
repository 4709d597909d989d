#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string_view>

#include "host/runtime/window_types.h"

// The six skin pictures; each carries the button's frame in its outer 4 pixels.
enum class Skin : uint8_t { Normal, HighLight, HighLightSelect, Selected, Pressed, Disable };
constexpr int kSkinCount = 6;
constexpr int kSkinWidth = 64;
constexpr int kSkinHeight = 25;
constexpr int kFrameThickness = 4;

// Interaction modes of a button (the ButtonMode field).
constexpr uint8_t ModeNone = 0;
constexpr uint8_t ModeNormal = 1;
constexpr uint8_t ModeHighLight = 2;
constexpr uint8_t ModeSelected = 3;
constexpr uint8_t ModeHighLightSelect = 4;

// One of the eight frame pieces: a rectangle of the skin and where it lands on the button.
struct FramePiece {
    PixelRect source;
    PixelRect destination;
};

// Corners keep their 4 x 4 pixels; the top and bottom edges stretch across the width between
// them and the side edges down the height between them. Pieces of a button narrower or lower
// than two corners get an empty stretched size rather than a negative one.
std::array<FramePiece, 8> FramePieces(int buttonWidthPx, int buttonHeightPx);

// Colour channels in the 16-bit form of a gradient vertex: the 8-bit value in the high byte.
struct Channels16 {
    uint16_t red = 0;
    uint16_t green = 0;
    uint16_t blue = 0;
};

// Reads "&H" followed by six hex digits, written red, green, blue (so "&HC6C5D7" is red 0xC600,
// green 0xC500, blue 0xD700). Anything else gives nullopt.
constexpr std::optional<Channels16> ChannelsFromHexText(std::string_view text) {
    if (text.size() != 8 || text[0] != '&' || (text[1] != 'H' && text[1] != 'h')) {
        return std::nullopt;
    }
    uint16_t pairs[3] = {};
    for (int pair = 0; pair < 3; ++pair) {
        int value = 0;
        for (int digit = 0; digit < 2; ++digit) {
            const char c = text[2 + pair * 2 + digit];
            int nibble = -1;
            if (c >= '0' && c <= '9') nibble = c - '0';
            if (c >= 'A' && c <= 'F') nibble = c - 'A' + 10;
            if (c >= 'a' && c <= 'f') nibble = c - 'a' + 10;
            if (nibble < 0) return std::nullopt;
            value = value * 16 + nibble;
        }
        pairs[pair] = static_cast<uint16_t>(value << 8);
    }
    return Channels16{pairs[0], pairs[1], pairs[2]};
}

constexpr std::string_view kWhiteText = "&HFFFFFF";
constexpr std::string_view kTintText = "&HC6C5D7";

// A vertex of a two-colour rectangle fill, laid out as the system's gradient fill expects it.
struct GradientVertex {
    int32_t x = 0;
    int32_t y = 0;
    uint16_t red = 0;
    uint16_t green = 0;
    uint16_t blue = 0;
    uint16_t alpha = 0;
};

// Vertex 0 at the top-left pixel, vertex 1 at the bottom-right one. White is at the top unless
// the gradient is inverted, which puts the tint there.
std::array<GradientVertex, 2> GradientVertices(int innerWidthPx, int innerHeightPx, bool inverted);

// Modes 1 and 3 paint white at the top and mode 2 the tint; the others keep the previous direction.
bool GradientInvertedFor(uint8_t buttonMode, bool previouslyInverted);

// The caption label keeps a fixed height and sits 10 twips above the vertical centre.
constexpr double kCaptionHeightTwips = 195.0;
constexpr double CaptionTopTwips(double buttonHeightTwips) {
    return (buttonHeightTwips - kCaptionHeightTwips - 20.0) / 2.0;
}
