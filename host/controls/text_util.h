#pragma once

#include <string_view>

// Strips spaces and tabs from both ends.
std::string_view TrimBlanks(std::string_view text);

// Compares with A-Z folded to a-z; other bytes (UTF-8 included) must match exactly.
bool EqualsIgnoringAsciiCase(std::string_view a, std::string_view b);
