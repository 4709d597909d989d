#include <gtest/gtest.h>

#include <vector>

#include "host/forms/background_gradient.h"

namespace {

// Levels for a 10-twip surface, |sin(y / (10 / 3.142))| x 220 rounded by hand:
// 0, 67.99, 129.33, 178.00, 209.24, 220.00, 209.22, 177.95, 129.25, 67.91, 0.09.
const int kLevelsOfTen[] = {0, 68, 129, 178, 209, 220, 209, 178, 129, 68, 0};

TEST(FormsGradient, DialogLinesRunFromDarkBlueThroughLightAndBack) {
    const std::vector<GradientLine> lines = GradientLines(GradientSurface::Dialog, 10);
    ASSERT_EQ(lines.size(), 11u);
    for (int y = 0; y <= 10; ++y) {
        const auto level = static_cast<uint8_t>(kLevelsOfTen[y]);
        EXPECT_EQ(lines[y].y, y);
        EXPECT_EQ(lines[y].colour, (Rgb{level, level, static_cast<uint8_t>(level + 30)}))
            << "y " << y;
    }
}

TEST(FormsGradient, PanelLinesAreNeutralGreyLiftedBy30) {
    const std::vector<GradientLine> lines = GradientLines(GradientSurface::Panel, 10);
    ASSERT_EQ(lines.size(), 11u);
    for (int y = 0; y <= 10; ++y) {
        const auto grey = static_cast<uint8_t>(kLevelsOfTen[y] + 30);
        EXPECT_EQ(lines[y].colour, (Rgb{grey, grey, grey})) << "y " << y;
    }
}

TEST(FormsGradient, RealDialogHeightPeaksInTheMiddleAndEndsDark) {
    const std::vector<GradientLine> lines = GradientLines(GradientSurface::Dialog, 3780);
    ASSERT_EQ(lines.size(), 3781u);
    EXPECT_EQ(lines.front().colour, (Rgb{0, 0, 30}));
    EXPECT_EQ(lines[1890].colour, (Rgb{220, 220, 250}));
    EXPECT_EQ(lines.back().colour, (Rgb{0, 0, 30}));
    // 945 twips down: |sin(945 / (3780 / 3.142))| x 220 = 155.58.
    EXPECT_EQ(lines[945].colour, (Rgb{156, 156, 186}));
    // 195 twips down the level is 35.503 with 3.142; with pi it would be 35.499, giving 35.
    EXPECT_EQ(lines[195].colour, (Rgb{36, 36, 66}));
    for (size_t y = 1; y <= 1890; ++y) {
        ASSERT_GE(lines[y].colour.red, lines[y - 1].colour.red) << "brightens towards the middle";
    }
}

TEST(FormsGradient, HeightIsRoundedHalfToEvenForTheLastLine) {
    EXPECT_EQ(GradientLines(GradientSurface::Dialog, 10.5).size(), 11u);  // last line 10
    EXPECT_EQ(GradientLines(GradientSurface::Dialog, 11.5).size(), 13u);  // last line 12
    EXPECT_EQ(GradientLines(GradientSurface::Dialog, 10.4).size(), 11u);
}

TEST(FormsGradient, DegenerateHeightsDoNotFail) {
    const std::vector<GradientLine> zero = GradientLines(GradientSurface::Panel, 0);
    ASSERT_EQ(zero.size(), 1u);
    EXPECT_EQ(zero[0].colour, (Rgb{30, 30, 30}));
    EXPECT_TRUE(GradientLines(GradientSurface::Panel, -5).empty());
    EXPECT_TRUE(GradientLines(GradientSurface::Panel, 1e12).empty());
}

TEST(FormsGradient, LastLineDrawnOnAPixelRowWins) {
    const std::vector<GradientLine> lines = GradientLines(GradientSurface::Dialog, 3780);
    const std::vector<Rgb> rows = GradientRows(lines, 15, 252);
    ASSERT_EQ(rows.size(), 252u);
    EXPECT_EQ(rows[0], lines[14].colour);
    EXPECT_NE(rows[0], lines[0].colour);
    EXPECT_EQ(rows[126], lines[126 * 15 + 14].colour);
    EXPECT_EQ(rows[251], lines[3779].colour);
}

TEST(FormsGradient, RowsNoLineReachesRepeatTheRowAbove) {
    std::vector<GradientLine> lines = {{0, Rgb{1, 2, 3}}, {1, Rgb{4, 5, 6}}};
    // Half a twip per pixel: lines land on rows 0 and 2; rows 1 and 3 take the row above.
    const std::vector<Rgb> rows = GradientRows(lines, 0.5, 4);
    ASSERT_EQ(rows.size(), 4u);
    EXPECT_EQ(rows[0], (Rgb{1, 2, 3}));
    EXPECT_EQ(rows[1], (Rgb{1, 2, 3}));
    EXPECT_EQ(rows[2], (Rgb{4, 5, 6}));
    EXPECT_EQ(rows[3], (Rgb{4, 5, 6}));
    EXPECT_TRUE(GradientRows(lines, 0, 4).empty());
    EXPECT_TRUE(GradientRows({}, 15, 4).empty());
}

}  // namespace
