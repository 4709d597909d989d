#include "host/controls/button_face.h"

#include <algorithm>

namespace lr {
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
        {{0, 0, kCorner, kCorner}, {0, 0, kCorner, kCorner}},
        {{kCorner, 0, kSkinMiddleWidth, kCorner}, {kCorner, 0, middleWidth, kCorner}},
        {{kSkinRight, 0, kCorner, kCorner}, {right, 0, kCorner, kCorner}},
        {{kSkinRight, kCorner, kCorner, kSkinMiddleHeight},
         {right, kCorner, kCorner, middleHeight}},
        {{kSkinRight, kSkinBottom, kCorner, kCorner}, {right, bottom, kCorner, kCorner}},
        {{kCorner, kSkinBottom, kSkinMiddleWidth, kCorner},
         {kCorner, bottom, middleWidth, kCorner}},
        {{0, kSkinBottom, kCorner, kCorner}, {0, bottom, kCorner, kCorner}},
        {{0, kCorner, kCorner, kSkinMiddleHeight}, {0, kCorner, kCorner, middleHeight}},
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

}  // namespace lr
