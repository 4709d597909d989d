#!/usr/bin/env python3
"""Makes the host's embedded pictures in this folder.

  mark_off.jpg, mark_on.jpg  12 x 12 colour JPEG choice marks (neutral, chosen)
  lumen_ribbon.ico           32 x 32, 256-colour window icon, written byte by byte
  preview.jpg                152 x 112 baseline colour JPEG, only with --preview-tool:
                             the make_preview tool renders the frame as PPM

Pixels are computed here with the standard library; JPEG encoding goes through
ImageMagick's `convert` (or `cjpeg` when convert is missing) with fixed options,
so the same inputs give the same files.
"""

import argparse
import math
import os
import shutil
import struct
import subprocess
import sys
import tempfile

HERE = os.path.dirname(os.path.abspath(__file__))

# The marks sit on the light part of the dialog's grey panel.
PANEL_GREY = (232, 232, 232)


def write_ppm(path, width, height, pixels):
    """pixels: rows top to bottom of (r, g, b) tuples with 0..255 integers."""
    with open(path, "wb") as out:
        out.write(b"P6\n%d %d\n255\n" % (width, height))
        for row in pixels:
            out.write(bytes(channel for pixel in row for channel in pixel))


def encode_jpeg(ppm_path, jpeg_path, quality, full_chroma):
    """Baseline, three-component JPEG without metadata."""
    if shutil.which("convert"):
        command = ["convert", ppm_path, "-strip", "-type", "TrueColor", "-interlace", "none",
                   "-quality", str(quality)]
        if full_chroma:
            command += ["-sampling-factor", "1x1"]
        command.append(jpeg_path)
    elif shutil.which("cjpeg"):
        command = ["cjpeg", "-quality", str(quality), "-baseline", "-outfile", jpeg_path]
        if full_chroma:
            command += ["-sample", "1x1"]
        command.append(ppm_path)
    else:
        sys.exit("make_pictures: neither convert (imagemagick) nor cjpeg "
                 "(libjpeg-turbo-progs) is installed")
    subprocess.run(command, check=True)


def clamp_byte(value):
    return max(0, min(255, int(round(value))))


def mix(a, b, t):
    return tuple(a[i] + (b[i] - a[i]) * t for i in range(3))


def supersampled(width, height, shade, samples=4):
    """Averages shade(x, y) -> (r, g, b) floats over samples x samples points per pixel."""
    rows = []
    for py in range(height):
        row = []
        for px in range(width):
            total = [0.0, 0.0, 0.0]
            for sy in range(samples):
                for sx in range(samples):
                    colour = shade(px + (sx + 0.5) / samples, py + (sy + 0.5) / samples)
                    for c in range(3):
                        total[c] += colour[c]
            row.append(tuple(clamp_byte(t / (samples * samples)) for t in total))
        rows.append(row)
    return rows


def mark_shader(chosen):
    """A round mark of radius 5.5 centred in 12 x 12: a grey rim around a light face;
    the chosen mark has a glowing blue-violet dot in its face."""
    rim = (96, 96, 104)
    face_top, face_bottom = (255, 255, 255), (206, 206, 212)
    dot_core, dot_edge = (200, 220, 255), (40, 60, 210)
    centre = 6.0

    def shade(x, y):
        distance = math.hypot(x - centre, y - centre)
        if distance > 5.5:
            return PANEL_GREY
        if distance > 4.5:
            return rim
        colour = mix(face_top, face_bottom, y / 12.0)
        if chosen and distance <= 3.0:
            colour = mix(dot_core, dot_edge, min(1.0, distance / 3.0))
        return colour

    return shade


def make_marks(folder, work):
    for name, chosen in (("mark_off", False), ("mark_on", True)):
        ppm = os.path.join(work, name + ".ppm")
        write_ppm(ppm, 12, 12, supersampled(12, 12, mark_shader(chosen)))
        encode_jpeg(ppm, os.path.join(folder, name + ".jpg"), quality=95, full_chroma=True)


# --- icon ---------------------------------------------------------------------

# Bands of the icon: (colour, angle in degrees, centre offset in pixels, half width).
ICON_BANDS = [
    ((1.0, 0.25, 0.15), 45.0, -4.0, 3.0),
    ((1.0, 0.25, 0.15), 45.0, 7.0, 2.0),
    ((0.2, 1.0, 0.3), -45.0, 2.0, 3.0),
    ((0.2, 1.0, 0.3), -45.0, -9.0, 2.0),
    ((1.0, 0.7, 0.5), 0.0, -6.0, 2.5),
    ((0.5, 0.6, 1.0), 0.0, 8.0, 3.0),
]


def icon_shader(x, y):
    """Soft bands added onto black; each fades smoothly from its middle to nothing at its
    edges, and where bands cross their light adds up."""
    total = [0.0, 0.0, 0.0]
    for colour, angle, offset, half_width in ICON_BANDS:
        radians = math.radians(angle)
        # Distance from the band's middle line, measured across the band.
        across = -(x - 16.0) * math.sin(radians) + (y - 16.0) * math.cos(radians) - offset
        if abs(across) >= half_width:
            continue
        strength = 0.85 * math.cos(abs(across) / half_width * math.pi / 2) ** 2
        for c in range(3):
            total[c] += colour[c] * strength * 255.0
    return tuple(total)


def median_cut(pixels, count):
    """A palette of at most count colours: boxes are split at the median of their
    widest channel, the most populous splittable box first."""
    boxes = [sorted(set(pixels))]
    weights = {}
    for p in pixels:
        weights[p] = weights.get(p, 0) + 1

    def spread(box):
        return max(max(p[c] for p in box) - min(p[c] for p in box) for c in range(3))

    while len(boxes) < count:
        splittable = [b for b in boxes if len(b) > 1 and spread(b) > 0]
        if not splittable:
            break
        box = max(splittable, key=lambda b: (sum(weights[p] for p in b), spread(b)))
        boxes.remove(box)
        channel = max(range(3), key=lambda c: max(p[c] for p in box) - min(p[c] for p in box))
        box.sort(key=lambda p: (p[channel], p))
        half = len(box) // 2
        boxes += [box[:half], box[half:]]

    palette = []
    for box in boxes:
        weight = sum(weights[p] for p in box)
        palette.append(tuple(clamp_byte(sum(p[c] * weights[p] for p in box) / weight)
                             for c in range(3)))
    return sorted(set(palette))


def nearest(palette, pixel):
    return min(range(len(palette)),
               key=lambda i: sum((palette[i][c] - pixel[c]) ** 2 for c in range(3)))


def icon_bytes():
    size = 32
    rows = supersampled(size, size, icon_shader)
    pixels = [p for row in rows for p in row]
    palette = median_cut(pixels, 256)
    palette += [(0, 0, 0)] * (256 - len(palette))
    indices = [[nearest(palette, p) for p in row] for row in rows]

    xor_rows = b"".join(bytes(row) for row in reversed(indices))  # bottom-up, 32 bytes a row
    and_rows = bytes(4 * size)  # one bit per pixel, rows padded to 4 bytes; 0 = opaque
    colours = b"".join(struct.pack("<BBBB", b, g, r, 0) for r, g, b in palette)
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 8, 0,
                         len(xor_rows) + len(and_rows), 0, 0, 256, 0)
    image = header + colours + xor_rows + and_rows

    directory = struct.pack("<HHH", 0, 1, 1)
    entry = struct.pack("<BBBBHHII", size, size, 0, 0, 1, 8, len(image), 6 + 16)
    return directory + entry + image


def make_icon(folder):
    with open(os.path.join(folder, "lumen_ribbon.ico"), "wb") as out:
        out.write(icon_bytes())


def make_preview(folder, work, tool):
    ppm = os.path.join(work, "preview.ppm")
    subprocess.run([tool, ppm], check=True)
    encode_jpeg(ppm, os.path.join(folder, "preview.jpg"), quality=92, full_chroma=False)


def main():
    parser = argparse.ArgumentParser(description=__doc__,
                                     formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--preview-tool", help="path of the built make_preview tool")
    parser.add_argument("--out", default=HERE, help="folder to write to (default: this one)")
    args = parser.parse_args()
    with tempfile.TemporaryDirectory() as work:
        make_marks(args.out, work)
        make_icon(args.out)
        if args.preview_tool:
            make_preview(args.out, work, args.preview_tool)


if __name__ == "__main__":
    main()
