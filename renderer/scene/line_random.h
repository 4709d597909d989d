#pragma once
// The line generator: a 32-bit linear congruential generator whose outputs run
// from 0 to 32767. The ranges divide by that maximum, so both ends are reachable.

#include <cstdint>

constexpr int kRandomMax = 32767;

struct LineRandom {
    uint32_t state = 0;
};

void SeedRandom(LineRandom& random, uint32_t seed);
int NextRandom(LineRandom& random);
float RandomRange(LineRandom& random, float lo, float hi);
