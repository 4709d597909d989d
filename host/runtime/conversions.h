// Number conversions of the host's language runtime, as the host's code relies on them.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

// Leading number of a text, read the way the host language's Val reads it (blanks skipped,
// &H/&O prefixes, stops at the first character that cannot belong to a number; no digits
// gives 0). A value outside the range of a double, or a &H/&O value wider than 32 bits, is an
// overflow in the language; it gives 0 here, as if the failing assignment had been skipped.
double Val(const std::string& text);

// The numeric value of a text under the language's implicit conversion (blanks around allowed;
// "abc" is not a number): std::nullopt when it is not a number.
std::optional<double> NumberFromText(const std::string& text);

// The language's Int: rounds towards minus infinity.
double IntPart(double value);

// Nearest integer, halves to the even neighbour, as 16/32-bit; std::nullopt on overflow.
std::optional<int16_t> RoundToInt16(double value);
std::optional<int32_t> RoundToInt32(double value);

// Decimal text with a leading blank when not negative (" 2", "-1").
std::string NumberText(long value);

// The "##" pattern: decimal digits without leading zeros, 0 gives "".
std::string FormatHashes(long value);
