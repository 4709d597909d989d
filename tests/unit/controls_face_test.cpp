#include <gtest/gtest.h>

#include <vector>

#include "host/controls/button_face.h"
#include "host/controls/command_platform.h"

namespace {

TEST(ControlsFace, SkinSizedButtonCopiesEveryPieceUnstretchedToItsOwnPlace) {
    for (const FramePiece& piece : FramePieces(kSkinWidth, kSkinHeight)) {
        EXPECT_EQ(piece.source, piece.destination)
            << "source " << piece.source.left << "," << piece.source.top << " "
            << piece.source.Width() << "x" << piece.source.Height();
    }
}

TEST(ControlsFace, WiderAndTallerButtonStretchesOnlyTheEdges) {
    const auto pieces = FramePieces(117, 28);
    // Order: corner, top, corner, right, corner, bottom, corner, left.
    const PixelRect expectedDestinations[8] = {
        SizedRect(0, 0, 4, 4),    SizedRect(4, 0, 109, 4),  SizedRect(113, 0, 4, 4),
        SizedRect(113, 4, 4, 20), SizedRect(113, 24, 4, 4), SizedRect(4, 24, 109, 4),
        SizedRect(0, 24, 4, 4),   SizedRect(0, 4, 4, 20),
    };
    const PixelRect expectedSources[8] = {
        SizedRect(0, 0, 4, 4),   SizedRect(4, 0, 56, 4),  SizedRect(60, 0, 4, 4),
        SizedRect(60, 4, 4, 17), SizedRect(60, 21, 4, 4), SizedRect(4, 21, 56, 4),
        SizedRect(0, 21, 4, 4),  SizedRect(0, 4, 4, 17),
    };
    for (int i = 0; i < 8; ++i) {
        EXPECT_EQ(pieces[i].destination, expectedDestinations[i]) << "piece " << i;
        EXPECT_EQ(pieces[i].source, expectedSources[i]) << "piece " << i;
    }
}

TEST(ControlsFace, WiderOnlyButtonKeepsSideEdgesAtSkinHeight) {
    const auto pieces = FramePieces(300, kSkinHeight);
    EXPECT_EQ(pieces[1].destination.Width(), 292);
    EXPECT_EQ(pieces[5].destination.Width(), 292);
    EXPECT_EQ(pieces[3].destination.Height(), 17);
    EXPECT_EQ(pieces[7].destination.Height(), 17);
    EXPECT_EQ(pieces[2].destination.left, 296);
}

TEST(ControlsFace, TallerOnlyButtonKeepsTopAndBottomAtSkinWidth) {
    const auto pieces = FramePieces(kSkinWidth, 90);
    EXPECT_EQ(pieces[1].destination.Width(), 56);
    EXPECT_EQ(pieces[5].destination.Width(), 56);
    EXPECT_EQ(pieces[3].destination.Height(), 82);
    EXPECT_EQ(pieces[7].destination.Height(), 82);
    EXPECT_EQ(pieces[6].destination.top, 86);
}

// Every pixel of the 4-pixel border is covered exactly once and the centre not at all.
TEST(ControlsFace, PiecesTileTheBorderWithoutOverlap) {
    const int sizes[][2] = {{64, 25}, {117, 28}, {29, 21}, {125, 25}, {2500, 40}};
    for (const auto& size : sizes) {
        const int w = size[0];
        const int h = size[1];
        std::vector<int> covered(static_cast<size_t>(w) * h, 0);
        for (const FramePiece& piece : FramePieces(w, h)) {
            const PixelRect& d = piece.destination;
            for (int y = d.top; y < d.bottom; ++y) {
                for (int x = d.left; x < d.right; ++x) {
                    ASSERT_TRUE(x >= 0 && x < w && y >= 0 && y < h) << w << "x" << h;
                    ++covered[static_cast<size_t>(y) * w + x];
                }
            }
        }
        for (int y = 0; y < h; ++y) {
            for (int x = 0; x < w; ++x) {
                const bool border = x < 4 || y < 4 || x >= w - 4 || y >= h - 4;
                ASSERT_EQ(covered[static_cast<size_t>(y) * w + x], border ? 1 : 0)
                    << "pixel " << x << "," << y << " of " << w << "x" << h;
            }
        }
    }
}

TEST(ControlsFace, ButtonSmallerThanTwoCornersGetsNoNegativeSizes) {
    for (const FramePiece& piece : FramePieces(6, 3)) {
        EXPECT_GE(piece.destination.Width(), 0);
        EXPECT_GE(piece.destination.Height(), 0);
    }
    EXPECT_EQ(FramePieces(6, 3)[1].destination.Width(), 0);
    EXPECT_EQ(FramePieces(6, 3)[3].destination.Height(), 0);
}

TEST(ControlsFace, ChannelsAreReadPairwiseIntoTheHighByte) {
    const auto tint = ChannelsFromHexText(kTintText);
    ASSERT_TRUE(tint.has_value());
    EXPECT_EQ(tint->red, 0xC600);
    EXPECT_EQ(tint->green, 0xC500);
    EXPECT_EQ(tint->blue, 0xD700);

    const auto white = ChannelsFromHexText(kWhiteText);
    ASSERT_TRUE(white.has_value());
    EXPECT_EQ(white->red, 0xFF00);
    EXPECT_EQ(white->green, 0xFF00);
    EXPECT_EQ(white->blue, 0xFF00);

    const auto lower = ChannelsFromHexText("&h0a1b2c");
    ASSERT_TRUE(lower.has_value());
    EXPECT_EQ(lower->red, 0x0A00);
    EXPECT_EQ(lower->green, 0x1B00);
    EXPECT_EQ(lower->blue, 0x2C00);
}

TEST(ControlsFace, MalformedColourTextIsRejected) {
    for (const char* text : {"", "&HC6C5D", "&HC6C5D7F", "#HC6C5D7", "&XC6C5D7", "&HC6C5DZ"}) {
        EXPECT_FALSE(ChannelsFromHexText(text).has_value()) << text;
    }
}

TEST(ControlsFace, GradientRunsCornerToCornerWithWhiteOnTopUnlessInverted) {
    const auto normal = GradientVertices(117, 28, false);
    EXPECT_EQ(normal[0].x, 0);
    EXPECT_EQ(normal[0].y, 0);
    EXPECT_EQ(normal[1].x, 116);
    EXPECT_EQ(normal[1].y, 27);
    EXPECT_EQ(normal[0].red, 0xFF00);
    EXPECT_EQ(normal[0].blue, 0xFF00);
    EXPECT_EQ(normal[1].red, 0xC600);
    EXPECT_EQ(normal[1].green, 0xC500);
    EXPECT_EQ(normal[1].blue, 0xD700);
    EXPECT_EQ(normal[0].alpha, 0);
    EXPECT_EQ(normal[1].alpha, 0);

    const auto inverted = GradientVertices(117, 28, true);
    EXPECT_EQ(inverted[0].red, 0xC600);
    EXPECT_EQ(inverted[0].blue, 0xD700);
    EXPECT_EQ(inverted[1].green, 0xFF00);
    EXPECT_EQ(inverted[1].x, 116);
}

TEST(ControlsFace, OnlyModesOneToThreeChooseTheGradientDirection) {
    for (bool previous : {false, true}) {
        EXPECT_FALSE(GradientInvertedFor(ModeNormal, previous));
        EXPECT_FALSE(GradientInvertedFor(ModeSelected, previous));
        EXPECT_TRUE(GradientInvertedFor(ModeHighLight, previous));
        EXPECT_EQ(GradientInvertedFor(ModeNone, previous), previous);
        EXPECT_EQ(GradientInvertedFor(ModeHighLightSelect, previous), previous);
    }
}

TEST(ControlsFace, CaptionSitsTenTwipsAboveTheCentre) {
    EXPECT_DOUBLE_EQ(CaptionTopTwips(420.0), 102.5);
    EXPECT_DOUBLE_EQ(CaptionTopTwips(375.0), 80.0);
    // The label's own centre is 10 twips above the button's.
    EXPECT_DOUBLE_EQ(CaptionTopTwips(600.0) + kCaptionHeightTwips / 2, 300.0 - 10.0);
}

TEST(ControlsFace, CaptionBoxRoundsEachTwipsLengthToWholePixels) {
    CaptionLabel label;
    label.leftTwips = 0;
    label.topTwips = CaptionTopTwips(375);  // 80 twips
    label.widthTwips = 1095;
    SurfaceMetrics metrics;  // 15 twips a pixel
    EXPECT_EQ(CaptionBox(label, metrics), SizedRect(0, 5, 73, 13));
    // At 120 dots per inch: 12 twips a pixel; 80 / 12 and 195 / 12 round up, 1095 / 12 down.
    metrics.twipsPerPixelX = metrics.twipsPerPixelY = 12;
    EXPECT_EQ(CaptionBox(label, metrics), SizedRect(0, 7, 91, 16));
}

}  // namespace
