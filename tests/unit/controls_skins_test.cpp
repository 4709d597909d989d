// Checks the skin bitmaps that resources/make_skins.py wrote and the host embeds.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "host/controls/button_face.h"

namespace {

using Rgb = std::array<uint8_t, 3>;

struct Bitmap {
    int width = 0;
    int height = 0;
    std::vector<Rgb> pixels;  // top row first
    Rgb At(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }
};

std::string ResourcesFolder() {
    std::string path = __FILE__;  // <root>/tests/unit/this file
    for (int i = 0; i < 3; ++i) path = path.substr(0, path.find_last_of("/\\"));
    return path + "/resources/";
}

uint32_t Le(const std::vector<uint8_t>& b, size_t at, int bytes) {
    uint32_t value = 0;
    for (int i = bytes - 1; i >= 0; --i) value = value * 256 + b[at + i];
    return value;
}

// Reads an uncompressed, bottom-up 24-bit BMP; fails the test on anything else.
void ReadBmp(const std::string& path, Bitmap& bitmap) {
    std::ifstream in(path, std::ios::binary);
    ASSERT_TRUE(in) << path;
    const std::vector<uint8_t> b((std::istreambuf_iterator<char>(in)),
                                 std::istreambuf_iterator<char>());
    ASSERT_GE(b.size(), 54u);
    ASSERT_EQ(b[0], 'B');
    ASSERT_EQ(b[1], 'M');
    ASSERT_EQ(Le(b, 2, 4), b.size());
    ASSERT_EQ(Le(b, 14, 4), 40u) << "plain info header";
    bitmap.width = static_cast<int>(Le(b, 18, 4));
    bitmap.height = static_cast<int>(Le(b, 22, 4));
    ASSERT_EQ(Le(b, 28, 2), 24u) << "bits per pixel";
    ASSERT_EQ(Le(b, 30, 4), 0u) << "uncompressed";
    const size_t offset = Le(b, 10, 4);
    const size_t rowSize = (static_cast<size_t>(bitmap.width) * 3 + 3) & ~size_t{3};
    ASSERT_EQ(b.size(), offset + rowSize * bitmap.height);
    for (int y = 0; y < bitmap.height; ++y) {
        const size_t row = offset + rowSize * (bitmap.height - 1 - y);
        for (int x = 0; x < bitmap.width; ++x) {
            const size_t p = row + static_cast<size_t>(x) * 3;
            bitmap.pixels.push_back({b[p + 2], b[p + 1], b[p]});
        }
    }
}

const char* const kSkinFiles[kSkinCount] = {
    "skin_normal.bmp",   "skin_highlight.bmp", "skin_highlightselect.bmp",
    "skin_selected.bmp", "skin_pressed.bmp",   "skin_disable.bmp",
};

bool InFrame(int x, int y) {
    return x < kFrameThickness || y < kFrameThickness || x >= kSkinWidth - kFrameThickness ||
           y >= kSkinHeight - kFrameThickness;
}

class ControlsSkins : public ::testing::Test {
  protected:
    void SetUp() override {
        for (int i = 0; i < kSkinCount; ++i) {
            ASSERT_NO_FATAL_FAILURE(ReadBmp(ResourcesFolder() + kSkinFiles[i], skins[i]));
        }
    }
    Bitmap skins[kSkinCount];
};

TEST_F(ControlsSkins, AreSkinSized) {
    for (const Bitmap& skin : skins) {
        EXPECT_EQ(skin.width, kSkinWidth);
        EXPECT_EQ(skin.height, kSkinHeight);
    }
}

TEST_F(ControlsSkins, FramesDifferBetweenEveryTwoStates) {
    for (int a = 0; a < kSkinCount; ++a) {
        for (int b = a + 1; b < kSkinCount; ++b) {
            int differing = 0;
            for (int y = 0; y < kSkinHeight; ++y) {
                for (int x = 0; x < kSkinWidth; ++x) {
                    if (InFrame(x, y) && skins[a].At(x, y) != skins[b].At(x, y)) ++differing;
                }
            }
            EXPECT_GT(differing, 100) << kSkinFiles[a] << " and " << kSkinFiles[b];
        }
    }
}

// A corner block must not look like the edge it meets, or a stretched corner would go unseen.
TEST_F(ControlsSkins, CornersDifferFromTheEdgesBesideThem) {
    const int right = kSkinWidth - kFrameThickness;
    const int bottom = kSkinHeight - kFrameThickness;
    const int corners[4][2] = {{0, 0}, {right, 0}, {0, bottom}, {right, bottom}};
    for (int i = 0; i < kSkinCount; ++i) {
        for (const auto& corner : corners) {
            // The edge column next to the corner, horizontally, and the edge row vertically.
            const int edgeX = corner[0] == 0 ? kFrameThickness : right - 1;
            const int edgeY = corner[1] == 0 ? kFrameThickness : bottom - 1;
            bool differsFromTopOrBottomEdge = false;
            bool differsFromSideEdge = false;
            for (int d = 0; d < kFrameThickness; ++d) {
                for (int e = 0; e < kFrameThickness; ++e) {
                    const Rgb pixel = skins[i].At(corner[0] + d, corner[1] + e);
                    if (pixel != skins[i].At(edgeX, corner[1] + e))
                        differsFromTopOrBottomEdge = true;
                    if (pixel != skins[i].At(corner[0] + d, edgeY)) differsFromSideEdge = true;
                }
            }
            EXPECT_TRUE(differsFromTopOrBottomEdge) << kSkinFiles[i] << " corner " << corner[0];
            EXPECT_TRUE(differsFromSideEdge) << kSkinFiles[i] << " corner " << corner[0];
        }
    }
}

TEST_F(ControlsSkins, MiddleIsOneNeutralFill) {
    for (int i = 0; i < kSkinCount; ++i) {
        const Rgb fill = skins[i].At(kFrameThickness, kFrameThickness);
        EXPECT_LE(std::max({fill[0], fill[1], fill[2]}) - std::min({fill[0], fill[1], fill[2]}), 16)
            << kSkinFiles[i];
        for (int y = kFrameThickness; y < kSkinHeight - kFrameThickness; ++y) {
            for (int x = kFrameThickness; x < kSkinWidth - kFrameThickness; ++x) {
                ASSERT_EQ(skins[i].At(x, y), fill) << kSkinFiles[i] << " at " << x << "," << y;
            }
        }
    }
}

}  // namespace
