#include "renderer/scene/line_random.h"

void SeedRandom(LineRandom& random, uint32_t seed) {
    random.state = seed;
}

int NextRandom(LineRandom& random) {
    random.state = random.state * 214013u + 2531011u;
    return static_cast<int>((random.state >> 16) & 0x7FFFu);
}

float RandomRange(LineRandom& random, float lo, float hi) {
    const float span = hi - lo;
    const float r = static_cast<float>(NextRandom(random));
    return lo + r * span / static_cast<float>(kRandomMax);
}
