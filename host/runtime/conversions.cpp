#include "host/runtime/conversions.h"

#include <charconv>
#include <cmath>
#include <limits>

namespace {

struct ParsedNumber {
    double value = 0;
    std::size_t end = 0;    // index just past the last character that belongs to the number
    bool overflow = false;  // the number is well formed but does not fit
};

bool IsDecimalDigit(char c) {
    return c >= '0' && c <= '9';
}

int DigitValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return 99;
}

// &H and &O numbers: up to four hex (six octal) digits are a 16-bit integer, longer ones a
// 32-bit integer, so "&HFFFF" is -1 and "&H10000" is 65536.
std::optional<ParsedNumber> ParseRadixNumber(const std::string& text, std::size_t pos) {
    const char marker = text[pos + 1];
    const int radix = (marker == 'H' || marker == 'h') ? 16 : 8;
    const uint64_t max16 = radix == 16 ? 0xFFFF : 0177777;
    const std::size_t maxDigits16 = radix == 16 ? 4 : 6;
    std::size_t i = pos + 2;
    uint64_t value = 0;
    std::size_t digits = 0;
    bool tooWide = false;
    for (; i < text.size() && DigitValue(text[i]) < radix; ++i) {
        value = value * radix + static_cast<uint64_t>(DigitValue(text[i]));
        if (value > 0xFFFFFFFFu) {
            tooWide = true;
            value = 0xFFFFFFFFu;
        }
        if (value != 0) ++digits;
    }
    if (i == pos + 2) return std::nullopt;
    ParsedNumber parsed;
    parsed.end = i;
    if (tooWide) {
        parsed.overflow = true;
    } else if (value <= max16 && digits <= maxDigits16) {
        parsed.value = static_cast<int16_t>(static_cast<uint16_t>(value));
    } else {
        parsed.value = static_cast<int32_t>(static_cast<uint32_t>(value));
    }
    return parsed;
}

// Decimal numbers: sign, digits with an optional decimal point, and an exponent introduced by
// E or D that counts only when digits follow it.
std::optional<ParsedNumber> ParseDecimalNumber(const std::string& text, std::size_t pos) {
    std::size_t i = pos;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    std::string mantissa;
    long integerDigits = 0;
    for (; i < text.size() && IsDecimalDigit(text[i]); ++i, ++integerDigits) mantissa += text[i];
    if (i < text.size() && text[i] == '.') {
        ++i;
        mantissa += '.';
        for (; i < text.size() && IsDecimalDigit(text[i]); ++i) mantissa += text[i];
    }
    if (mantissa.empty() || mantissa == ".") return std::nullopt;

    long exponent = 0;
    if (i < text.size() && (text[i] == 'E' || text[i] == 'e' || text[i] == 'D' || text[i] == 'd')) {
        std::size_t j = i + 1;
        bool exponentNegative = false;
        if (j < text.size() && (text[j] == '+' || text[j] == '-')) {
            exponentNegative = text[j] == '-';
            ++j;
        }
        if (j < text.size() && IsDecimalDigit(text[j])) {
            for (; j < text.size() && IsDecimalDigit(text[j]); ++j) {
                if (exponent < 100000) exponent = exponent * 10 + (text[j] - '0');
            }
            if (exponentNegative) exponent = -exponent;
            i = j;
        }
    }

    ParsedNumber parsed;
    parsed.end = i;
    const std::string clean = mantissa + "e" + std::to_string(exponent);
    double magnitude = 0;
    const auto result = std::from_chars(clean.data(), clean.data() + clean.size(), magnitude,
                                        std::chars_format::scientific);
    if (result.ec == std::errc::result_out_of_range) {
        // Too small to hold is zero; too large is an overflow. The decimal magnitude of the
        // first significant digit tells which.
        const auto first = static_cast<long>(mantissa.find_first_not_of("0."));
        const long magnitude10 =
            first < integerDigits ? integerDigits - first - 1 : integerDigits - first;
        parsed.overflow = magnitude10 + exponent >= 0;
        magnitude = 0;
    } else if (result.ec != std::errc()) {
        return std::nullopt;
    }
    parsed.value = negative ? -magnitude : magnitude;
    return parsed;
}

std::optional<ParsedNumber> ParseNumberAt(const std::string& text, std::size_t pos) {
    if (pos + 1 < text.size() && text[pos] == '&') {
        const char marker = text[pos + 1];
        if (marker == 'H' || marker == 'h' || marker == 'O' || marker == 'o') {
            return ParseRadixNumber(text, pos);
        }
        return std::nullopt;
    }
    return ParseDecimalNumber(text, pos);
}

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

double RoundHalfEven(double value) {
    const double below = std::floor(value);
    const double fraction = value - below;
    if (fraction > 0.5) return below + 1;
    if (fraction < 0.5) return below;
    return std::fmod(below, 2.0) == 0 ? below : below + 1;
}

template <typename Int>
std::optional<Int> RoundToInteger(double value) {
    if (!std::isfinite(value)) return std::nullopt;
    const double rounded = RoundHalfEven(value);
    if (rounded < static_cast<double>(std::numeric_limits<Int>::min()) ||
        rounded > static_cast<double>(std::numeric_limits<Int>::max())) {
        return std::nullopt;
    }
    return static_cast<Int>(rounded);
}

}  // namespace

double Val(const std::string& text) {
    std::string packed;
    for (char c : text) {
        if (c != ' ' && c != '\t' && c != '\n') packed += c;
    }
    const auto parsed = ParseNumberAt(packed, 0);
    if (!parsed || parsed->overflow) return 0;
    return parsed->value;
}

std::optional<double> NumberFromText(const std::string& text) {
    std::size_t begin = 0;
    std::size_t end = text.size();
    while (begin < end && IsBlank(text[begin])) ++begin;
    while (end > begin && IsBlank(text[end - 1])) --end;
    const std::string trimmed = text.substr(begin, end - begin);
    const auto parsed = ParseNumberAt(trimmed, 0);
    if (!parsed || parsed->overflow || parsed->end != trimmed.size()) return std::nullopt;
    return parsed->value;
}

double IntPart(double value) {
    return std::floor(value);
}

std::optional<int16_t> RoundToInt16(double value) {
    return RoundToInteger<int16_t>(value);
}

std::optional<int32_t> RoundToInt32(double value) {
    return RoundToInteger<int32_t>(value);
}

std::string NumberText(long value) {
    const std::string digits = std::to_string(value);
    return value < 0 ? digits : " " + digits;
}

std::string FormatHashes(long value) {
    return value == 0 ? std::string() : std::to_string(value);
}
