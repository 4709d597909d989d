#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace lr {

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

}  // namespace lr
