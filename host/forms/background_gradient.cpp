#include "host/forms/background_gradient.h"

#include <cmath>
#include <optional>

#include "host/runtime/conversions.h"

namespace {
// The divisor is 3.142, not pi: the lines end just short of a full half wave.
constexpr double kHalfWave = 3.142;
constexpr double kPeakLevel = 220.0;
constexpr int kLift = 30;

Rgb LineColour(GradientSurface surface, int level) {
    const auto lifted = static_cast<uint8_t>(level + kLift);
    const auto plain = static_cast<uint8_t>(level);
    if (surface == GradientSurface::Panel) return Rgb{lifted, lifted, lifted};
    return Rgb{plain, plain, lifted};
}
}  // namespace

std::vector<GradientLine> GradientLines(GradientSurface surface, double heightTwips) {
    std::vector<GradientLine> lines;
    const std::optional<int32_t> last = RoundToInt32(heightTwips);
    if (!last || *last < 0) return lines;
    const double divisor = heightTwips / kHalfWave;
    lines.reserve(static_cast<size_t>(*last) + 1);
    for (int32_t y = 0; y <= *last; ++y) {
        // A zero height has a single line; it stays dark rather than dividing by zero.
        const int level =
            divisor > 0 ? RoundToInt16(std::fabs(std::sin(y / divisor)) * kPeakLevel).value_or(0)
                        : 0;
        lines.push_back(GradientLine{y, LineColour(surface, level)});
    }
    return lines;
}

std::vector<Rgb> GradientRows(const std::vector<GradientLine>& lines, double twipsPerPixel,
                              int rowCount) {
    std::vector<Rgb> rows;
    if (rowCount <= 0 || lines.empty() || !(twipsPerPixel > 0)) return rows;
    rows.resize(static_cast<size_t>(rowCount));
    std::vector<bool> reached(rows.size(), false);
    for (const GradientLine& line : lines) {
        const double row = std::floor(line.y / twipsPerPixel);
        if (row < 0 || row >= rowCount) continue;
        rows[static_cast<size_t>(row)] = line.colour;
        reached[static_cast<size_t>(row)] = true;
    }
    Rgb carried = lines.front().colour;
    for (size_t i = 0; i < rows.size(); ++i) {
        if (reached[i]) {
            carried = rows[i];
        } else {
            rows[i] = carried;
        }
    }
    return rows;
}
