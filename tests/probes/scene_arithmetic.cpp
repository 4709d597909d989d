// Prints the scene's arithmetic as the bits of every value: the line sets the generator fills
// from a range of seeds, then the time colours, group alphas and bands over a range of times.
// Built natively and for Windows; the two outputs must be the same text.
#include <cstdint>
#include <cstdio>
#include <cstring>

#include "renderer/scene/line_scene.h"

namespace {

void PrintBits(float value) {
    uint32_t bits = 0;
    std::memcpy(&bits, &value, sizeof bits);
    std::printf(" %08x", static_cast<unsigned>(bits));
}

void PrintSet(const LineSet& set) {
    for (int i = 0; i < kLinesPerSet; ++i) {
        PrintBits(set.brightness[i]);
        PrintBits(set.halfWidth[i]);
        PrintBits(set.rate[i]);
    }
    std::printf("\n");
}

}  // namespace

int main() {
    Scene scene;
    const uint32_t seeds[] = {0u, 1u, 2u, 1000u, 123456789u, 2147483647u, 4294967295u};
    for (uint32_t seed : seeds) {
        std::printf("seed %u:", static_cast<unsigned>(seed));
        InitLineSet(scene.redSet, scene.random, seed);
        PrintSet(scene.redSet);
    }
    InitLineSet(scene.greenSet, scene.random, 86400000u);
    InitLineSet(scene.warmSet, scene.random, 3141592u);

    struct Group {
        const LineSet& set;
        float speed;
    };
    const Group groups[] = {{scene.redSet, 2.0f}, {scene.greenSet, 2.0f}, {scene.warmSet, 1.0f}};
    // A day of running in uneven steps, so that the times are not round numbers.
    for (uint64_t ms = 0; ms < 86400000u; ms += 1000003u) {
        scene.accumulatedMs = ms;
        scene.sceneTime = static_cast<double>(ms) / 1000.0;
        SetTimeColours(scene);
        std::printf("time %llu:", static_cast<unsigned long long>(ms));
        PrintBits(scene.redSet.baseColour[0]);
        PrintBits(scene.greenSet.baseColour[1]);
        PrintBits(scene.warmSet.baseColour[0]);
        PrintBits(scene.warmSet.baseColour[2]);
        for (const Group& group : groups) {
            const float alpha = GroupAlpha(group.set, scene.sceneTime, group.speed);
            PrintBits(alpha);
            for (int line = 0; line < kLinesPerSet; ++line) {
                const Band band = ComputeBand(group.set, line, scene.sceneTime, group.speed, alpha);
                for (float value : band.colour) PrintBits(value);
                for (float value : band.edgeY) PrintBits(value);
            }
        }
        std::printf("\n");
    }
    return 0;
}
