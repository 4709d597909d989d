#pragma once
// The pictures of this folder built into the Linux host, by their file names.

#include <cstddef>

struct EmbeddedBytes {
    const unsigned char* bytes;
    std::size_t size;  // 0 for a name that is not embedded
};

EmbeddedBytes EmbeddedPicture(const char* fileName);
