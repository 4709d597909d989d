#include "host/runtime/screen.h"

#include <cstdint>
#include <limits>

#include "host/runtime/conversions.h"

double TwipsPerPixelAt(int dotsPerInch) {
    return dotsPerInch > 0 ? kTwipsPerInch / dotsPerInch : 15.0;
}

int32_t TwipsToPixels(double twips, double twipsPerPixel) {
    const double pixels = twips / twipsPerPixel;
    if (const auto rounded = RoundToInt32(pixels)) return *rounded;
    return pixels < 0 ? std::numeric_limits<int32_t>::min() : std::numeric_limits<int32_t>::max();
}
