#!/usr/bin/env python3
"""Draws the wizard's page picture (picture.bmp, 190 x 149, 8 bits with a palette of its
exact colours, a third of the 24-bit size) and icon
(TarveloIP.ico, 48, 32, 24 and 16 pixels square, 32 bits) from plain pixel arithmetic.

Usage: make_artwork.py OUTPUT_DIR   (the committed files were made with it)
"""
import math
import struct
import sys
from pathlib import Path

PICTURE_SIZE = (190, 149)


def picture_pixel(x, y, width, height):
    """Sky-blue gradient, a rolling hill, a house with a lit window and a signal wave."""
    t = y / (height - 1)
    r, g, b = int(30 + 120 * t), int(90 + 120 * t), int(170 + 70 * t)
    # Signal wave across the sky: two orange sine bands.
    for phase, amplitude in ((0.0, 9.0), (1.2, 6.0)):
        wave = 40 + amplitude * math.sin(x / 14.0 + phase)
        if abs(y - wave) < 1.6:
            r, g, b = 255, 170, 40
    # Green hill.
    hill = 112 - 18 * math.cos((x - 120) / 60.0)
    if y > hill:
        shade = min(1.0, (y - hill) / 40.0)
        r, g, b = int(60 - 20 * shade), int(160 - 50 * shade), int(70 - 20 * shade)
    # House: white walls, red roof, yellow window, on the hill.
    left, right, top, bottom = 34, 74, 82, 112
    if left <= x <= right and top <= y <= bottom:
        r, g, b = 245, 245, 240
        if 44 <= x <= 56 and 90 <= y <= 100:
            r, g, b = 255, 220, 90
    roof = top - (20 - abs(x - (left + right) / 2) * 20 / 24)
    if left - 4 <= x <= right + 4 and roof <= y < top:
        r, g, b = 190, 50, 40
    # Antenna on the roof with the signal source.
    if x in (64, 65) and 56 <= y < 75:
        r, g, b = 80, 80, 80
    if (x - 64.5) ** 2 + (y - 55) ** 2 <= 9:
        r, g, b = 255, 170, 40
    return r, g, b


def write_bmp(path, width, height, pixel):
    """An 8-bit bitmap whose palette holds exactly the picture's colours (at most 256)."""
    pixels = [[pixel(x, y, width, height) for x in range(width)] for y in range(height)]
    palette = sorted({colour for row in pixels for colour in row})
    if len(palette) > 256:
        raise SystemExit(f"the picture has {len(palette)} colours, more than an 8-bit bitmap holds")
    index = {colour: i for i, colour in enumerate(palette)}
    row_size = (width + 3) & ~3
    data = b"".join(bytes(index[c] for c in row) + b"\0" * (row_size - width) for row in reversed(pixels))
    colours = b"".join(bytes((b, g, r, 0)) for r, g, b in palette)
    offset = 14 + 40 + len(colours)
    header = struct.pack("<2sIHHI", b"BM", offset + len(data), 0, 0, offset)
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 8, 0, len(data), 2835, 2835, len(palette), 0)
    path.write_bytes(header + info + colours + data)


def icon_pixel(x, y, size):
    """Blue rounded square with a white T and an orange wave; transparent corners."""
    s = size / 32.0
    radius = 6 * s
    cx = min(max(x + 0.5, radius), size - radius)
    cy = min(max(y + 0.5, radius), size - radius)
    if (x + 0.5 - cx) ** 2 + (y + 0.5 - cy) ** 2 > radius ** 2:
        return 0, 0, 0, 0
    r, g, b = 20, 80, 170
    if 6 * s <= y < 11 * s and 6 * s <= x < 26 * s:
        r, g, b = 255, 255, 255
    if 11 * s <= y < 22 * s and 13.5 * s <= x < 18.5 * s:
        r, g, b = 255, 255, 255
    wave = 25.5 * s + 2.5 * s * math.sin(x / (3.0 * s))
    if abs(y + 0.5 - wave) < 1.3 * s:
        r, g, b = 255, 170, 40
    return r, g, b, 255


def icon_image(size):
    pixels = bytearray()
    mask_row = ((size + 31) // 32) * 4
    mask = bytearray()
    for y in reversed(range(size)):
        row_mask = bytearray(mask_row)
        for x in range(size):
            r, g, b, a = icon_pixel(x, y, size)
            pixels += bytes((b, g, r, a))
            if a == 0:
                row_mask[x // 8] |= 0x80 >> (x % 8)
        mask += row_mask
    info = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, len(pixels) + len(mask), 0, 0, 0, 0)
    return info + bytes(pixels) + bytes(mask)


def write_ico(path, sizes):
    images = [icon_image(size) for size in sizes]
    header = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    entries = b""
    for size, image in zip(sizes, images):
        entries += struct.pack("<BBBBHHII", size, size, 0, 0, 1, 32, len(image), offset)
        offset += len(image)
    path.write_bytes(header + entries + b"".join(images))


def main():
    out = Path(sys.argv[1] if len(sys.argv) > 1 else Path(__file__).parent)
    write_bmp(out / "picture.bmp", *PICTURE_SIZE, picture_pixel)
    # 100 % and 150 % of the system icon sizes; Windows scales the nearest for others.
    write_ico(out / "TarveloIP.ico", (48, 32, 24, 16))


if __name__ == "__main__":
    main()
