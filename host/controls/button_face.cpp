#include "host/controls/button_face.h"

#include <algorithm>

namespace {

constexpr int kCorner = kFrameThickness;
constexpr int kSkinMiddleWidth = kSkinWidth - 2 * kCorner;    // 56
constexpr int kSkinMiddleHeight = kSkinHeight - 2 * kCorner;  // 17
constexpr int kSkinRight = kSkinWidth - kCorner;              // 60
constexpr int kSkinBottom = kSkinHeight - kCorner;            // 21

constexpr Channels16 kWhite = *ChannelsFromHexText(kWhiteText);
constexpr Channels16 kTint = *ChannelsFromHexText(kTintText);

GradientVertex Vertex(int x, int y, Channels16 colour) {
    GradientVertex vertex;
    vertex.x = x;
    vertex.y = y;
    vertex.red = colour.red;
    vertex.green = colour.green;
    vertex.blue = colour.blue;
    return vertex;
}

}  // namespace

std::array<FramePiece, 8> FramePieces(int buttonWidthPx, int buttonHeightPx) {
    const int w = buttonWidthPx;
    const int h = buttonHeightPx;
    const int middleWidth = std::max(0, w - 2 * kCorner);
    const int middleHeight = std::max(0, h - 2 * kCorner);
    const int right = w - kCorner;
    const int bottom = h - kCorner;
    return {{
        {SizedRect(0, 0, kCorner, kCorner), SizedRect(0, 0, kCorner, kCorner)},
        {SizedRect(kCorner, 0, kSkinMiddleWidth, kCorner),
         SizedRect(kCorner, 0, middleWidth, kCorner)},
        {SizedRect(kSkinRight, 0, kCorner, kCorner), SizedRect(right, 0, kCorner, kCorner)},
        {SizedRect(kSkinRight, kCorner, kCorner, kSkinMiddleHeight),
         SizedRect(right, kCorner, kCorner, middleHeight)},
        {SizedRect(kSkinRight, kSkinBottom, kCorner, kCorner),
         SizedRect(right, bottom, kCorner, kCorner)},
        {SizedRect(kCorner, kSkinBottom, kSkinMiddleWidth, kCorner),
         SizedRect(kCorner, bottom, middleWidth, kCorner)},
        {SizedRect(0, kSkinBottom, kCorner, kCorner), SizedRect(0, bottom, kCorner, kCorner)},
        {SizedRect(0, kCorner, kCorner, kSkinMiddleHeight),
         SizedRect(0, kCorner, kCorner, middleHeight)},
    }};
}

std::array<GradientVertex, 2> GradientVertices(int innerWidthPx, int innerHeightPx, bool inverted) {
    const Channels16 top = inverted ? kTint : kWhite;
    const Channels16 bottom = inverted ? kWhite : kTint;
    return {Vertex(0, 0, top), Vertex(innerWidthPx - 1, innerHeightPx - 1, bottom)};
}

bool GradientInvertedFor(uint8_t buttonMode, bool previouslyInverted) {
    switch (buttonMode) {
        case ModeNormal:
        case ModeSelected:
            return false;
        case ModeHighLight:
            return true;
        default:
            return previouslyInverted;
    }
}
