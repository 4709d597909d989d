"""Judging screenshots: how much of a picture is lit, and how many hues it shows."""


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
