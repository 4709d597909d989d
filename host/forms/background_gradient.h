#pragma once
// The painted backgrounds of the settings dialog and its panel: horizontal
// lines one twip apart whose brightness follows |sin|, dark at the top and
// bottom edges and brightest in the middle.

#include <cstdint>
#include <vector>

#include "host/forms/colour.h"

enum class GradientSurface {
    Dialog,  // blue 30 above red and green
    Panel,   // neutral grey
};

struct GradientLine {
    int32_t y;  // twips from the top; the line runs across the whole width
    Rgb colour;
};

// Lines in drawing order for a surface whose client area is heightTwips high.
std::vector<GradientLine> GradientLines(GradientSurface surface, double heightTwips);

// The colour each pixel row ends up with when the lines are drawn in order onto
// rows of twipsPerPixel twips: the last line on a row wins. Rows that no line
// reaches repeat the row above (the first line's colour at the very top).
std::vector<Rgb> GradientRows(const std::vector<GradientLine>& lines, double twipsPerPixel,
                              int rowCount);
