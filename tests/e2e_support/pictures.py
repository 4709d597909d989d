"""Judging screenshots: how much of a picture is lit, how many hues it shows, and how far it is
from another."""

import math
import subprocess


def lit_fraction(bitmap, threshold=24, step=4):
    """Share of sampled pixels with any channel above the threshold."""
    total = lit = 0
    for r, g, b in bitmap.pixels(step):
        total += 1
        lit += max(r, g, b) > threshold
    return lit / total


def colour_spread(bitmap, threshold=24, step=4):
    """How many of six hue sectors the lit pixels fall into."""
    sectors = set()
    for r, g, b in bitmap.pixels(step):
        top = max(r, g, b)
        if top <= threshold:
            continue
        bottom = min(r, g, b)
        if top - bottom < 8:
            sectors.add("grey")
            continue
        if top == r:
            hue = ((g - b) / (top - bottom)) % 6
        elif top == g:
            hue = (b - r) / (top - bottom) + 2
        else:
            hue = (r - g) / (top - bottom) + 4
        sectors.add(int(hue) % 6)
    return len(sectors)



class Picture:
    """An 8-bit RGB picture read from any file ImageMagick reads."""

    def __init__(self, path):
        data = subprocess.run(["convert", path, "-depth", "8", "ppm:-"], capture_output=True,
                              check=True, timeout=60).stdout
        # A binary PPM: P6, width, height, 255, each after white space, then one white space byte.
        fields = []
        at = 0
        while len(fields) < 4:
            while data[at:at + 1].isspace():
                at += 1
            end = at
            while not data[end:end + 1].isspace():
                end += 1
            fields.append(data[at:end])
            at = end
        assert fields[0] == b"P6" and fields[3] == b"255", "not an 8-bit binary PPM"
        self.width, self.height = int(fields[1]), int(fields[2])
        self.data = data[at + 1:at + 1 + self.width * self.height * 3]

    def pixels(self, step=1):
        for y in range(0, self.height, step):
            for x in range(0, self.width, step):
                at = (y * self.width + x) * 3
                yield self.data[at], self.data[at + 1], self.data[at + 2]


def psnr(a, b):
    """Peak signal-to-noise ratio of two pictures of one size, in dB (inf when equal)."""
    assert (a.width, a.height) == (b.width, b.height), "pictures of different sizes"
    squares = sum((x - y) * (x - y) for x, y in zip(a.data, b.data))
    if squares == 0:
        return math.inf
    return 10 * math.log10(255 * 255 * len(a.data) / squares)


def largest_block_difference(a, b, block=16):
    """The largest mean difference of one channel's samples over a block x block square."""
    assert (a.width, a.height) == (b.width, b.height), "pictures of different sizes"
    width = a.width
    sums = [[0] * (((width + block - 1) // block) * 3) for _ in range(-(-a.height // block))]
    for y in range(a.height):
        row = sums[y // block]
        start = y * width * 3
        end = start + width * 3
        for x, (p, q) in enumerate(zip(a.data[start:end], b.data[start:end])):
            row[(x // 3 // block) * 3 + x % 3] += abs(p - q)
    return max(max(row) for row in sums) / (block * block)
