// The screen as the host's runtime describes it: twips per pixel, size in twips, mouse pointer.
#pragma once

#include <cstdint>

// Twips are 1/1440 inch; at 96 dots per inch one pixel is 15 twips.
inline constexpr double kTwipsPerInch = 1440.0;

enum class MousePointer { Default, Hourglass };

class ScreenServices {
  public:
    virtual ~ScreenServices() = default;
    virtual double TwipsPerPixelX() const = 0;
    virtual double TwipsPerPixelY() const = 0;
    // Where the primary monitor lies on the desktop and its size, in twips. Windows puts the
    // desktop's origin at its top-left corner; X may put it anywhere.
    virtual double Left() const = 0;
    virtual double Top() const = 0;
    virtual double Width() const = 0;
    virtual double Height() const = 0;
    // The pointer shown over every window of the program.
    virtual void SetMousePointer(MousePointer pointer) = 0;
};

// Twips per pixel for a screen resolution in dots per inch (96 gives 15).
double TwipsPerPixelAt(int dotsPerInch);

// Nearest whole pixel (halves to even) for a twips value; values beyond 32 bits are clamped.
int32_t TwipsToPixels(double twips, double twipsPerPixel);
