#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>

// A caption font as the host's forms describe it.
struct FontDesc {
    std::string face;
    double sizePoints = 0.0;
    bool bold = false;
    int charset = 0;  // Windows character set number (128 is Shift-JIS)
};

// Sizes count as equal when they agree to 1/10000 point, the precision the text form keeps.
bool operator==(const FontDesc& a, const FontDesc& b);
bool operator!=(const FontDesc& a, const FontDesc& b);

// Text form "face,size,weight,charset", for example "Arial,9.75,bold,0".
// The face may itself hold commas: the last three fields are taken from the right.
std::string FormatFont(const FontDesc& font);
std::optional<FontDesc> ParseFont(std::string_view text);

// Installed faces tried in order when a font's own face is absent: the Japanese Windows face
// under its English name, then the free faces that stand in for it on other systems.
inline constexpr std::array<const char*, 5> kFallbackFaces{
    {"MS PGothic", "IPAPGothic", "IPAPゴシック", "VL PGothic", "IPAGothic"}};

// The face followed by kFallbackFaces, as one comma-separated family list.
std::string FamilyList(const std::string& face);

// The character height in whole pixels of a font of that many points at dotsPerInch.
int FontPixelHeight(double points, double dotsPerInch);
