#include "host/controls/font_desc.h"

#include <cmath>
#include <cstdint>

#include "host/controls/text_util.h"

namespace {

// The text form keeps four decimals, as the font sizes of the forms do.
constexpr int64_t kSizeScale = 10000;
constexpr double kLargestSize = 2048.0;

int64_t ScaledSize(double points) {
    return std::llround(points * kSizeScale);
}

// Plain decimal "12", "9.75" or ".5", read without the locale's help.
std::optional<double> ParseSize(std::string_view text) {
    int64_t whole = 0;
    int64_t fraction = 0;
    int64_t fractionScale = 1;
    size_t i = 0;
    bool digits = false;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        whole = whole * 10 + (text[i] - '0');
        digits = true;
        if (whole > static_cast<int64_t>(kLargestSize)) return std::nullopt;
    }
    if (i < text.size() && text[i] == '.') {
        for (++i; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
            digits = true;
            if (fractionScale < kSizeScale) {
                fraction = fraction * 10 + (text[i] - '0');
                fractionScale *= 10;
            }
        }
    }
    if (!digits || i != text.size()) return std::nullopt;
    const double size = static_cast<double>(whole) + static_cast<double>(fraction) / fractionScale;
    if (size <= 0.0 || size > kLargestSize) return std::nullopt;
    return size;
}

std::optional<int> ParseCharset(std::string_view text) {
    if (text.empty() || text.size() > 3) return std::nullopt;
    int value = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return std::nullopt;
        value = value * 10 + (c - '0');
    }
    if (value > 255) return std::nullopt;
    return value;
}

}  // namespace

bool operator==(const FontDesc& a, const FontDesc& b) {
    return a.face == b.face && ScaledSize(a.sizePoints) == ScaledSize(b.sizePoints) &&
           a.bold == b.bold && a.charset == b.charset;
}

bool operator!=(const FontDesc& a, const FontDesc& b) {
    return !(a == b);
}

std::string FormatFont(const FontDesc& font) {
    const int64_t scaled = ScaledSize(font.sizePoints);
    std::string size = std::to_string(scaled / kSizeScale);
    int64_t fraction = scaled % kSizeScale;
    if (fraction != 0) {
        std::string digits = std::to_string(fraction + kSizeScale).substr(1);
        digits.erase(digits.find_last_not_of('0') + 1);
        size += "." + digits;
    }
    return font.face + "," + size + "," + (font.bold ? "bold" : "normal") + "," +
           std::to_string(font.charset);
}

std::optional<FontDesc> ParseFont(std::string_view text) {
    std::string_view fields[3];
    std::string_view rest = text;
    for (int i = 2; i >= 0; --i) {
        const auto comma = rest.rfind(',');
        if (comma == std::string_view::npos) return std::nullopt;
        fields[i] = TrimBlanks(rest.substr(comma + 1));
        rest = rest.substr(0, comma);
    }
    FontDesc font;
    font.face = std::string(TrimBlanks(rest));
    if (font.face.empty()) return std::nullopt;

    const auto size = ParseSize(fields[0]);
    const auto charset = ParseCharset(fields[2]);
    if (!size || !charset) return std::nullopt;
    font.sizePoints = *size;
    font.charset = *charset;

    if (EqualsIgnoringAsciiCase(fields[1], "bold")) {
        font.bold = true;
    } else if (!EqualsIgnoringAsciiCase(fields[1], "normal")) {
        return std::nullopt;
    }
    return font;
}

std::string FamilyList(const std::string& face) {
    std::string families = face;
    for (const char* fallback : kFallbackFaces) families += std::string(",") + fallback;
    return families;
}

int FontPixelHeight(double points, double dotsPerInch) {
    return static_cast<int>(std::lround(points * dotsPerInch / 72.0));
}
