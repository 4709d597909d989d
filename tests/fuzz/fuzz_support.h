// What the fuzz targets share: cutting an input into the texts a parser takes, and reporting a
// broken rule so that libFuzzer keeps the input.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

// A rule the code under test must keep; a broken one aborts, which libFuzzer reports as a crash
// and saves the input for.
inline void FuzzExpect(bool holds, const char* rule) {
    if (holds) return;
    std::fprintf(stderr, "model mismatch: %s\n", rule);
    std::abort();
}

// The input cut at every separator byte; at most `most` pieces, the last one keeping the rest
// (separators included). Texts handed over as C strings hold no NUL, so NUL separates them.
inline std::vector<std::string> SplitInput(const uint8_t* data, std::size_t size,
                                           std::size_t most = SIZE_MAX, char separator = '\0') {
    std::vector<std::string> pieces(1);
    for (std::size_t i = 0; i < size; ++i) {
        const char c = static_cast<char>(data[i]);
        if (c == separator && pieces.size() < most) {
            pieces.emplace_back();
        } else {
            pieces.back() += c;
        }
    }
    return pieces;
}
