#!/usr/bin/env python3
"""Draws the program's icon, tarvinel.ico: one 48 x 48 image at 32 bits per pixel.

A loudspeaker sending out three sound waves, white on an olive-green rounded square. Run it again
after changing the drawing: python3 res/make_icon.py res/tarvinel.ico
"""
import math
import struct
import sys

SIZE = 48
SAMPLES = 4  # per axis, for smooth edges

OLIVE_DARK = (96, 120, 48)
OLIVE_LIGHT = (164, 185, 127)
WHITE = (255, 255, 255)


def in_rounded_square(x, y):
    margin, radius = 1.0, 9.0
    lo, hi = margin + radius, SIZE - margin - radius
    cx, cy = min(max(x, lo), hi), min(max(y, lo), hi)
    return (x - cx) ** 2 + (y - cy) ** 2 <= radius ** 2


def in_speaker(x, y):
    # The magnet: a small block; the cone: a trapezoid widening to the right.
    if 8.0 <= x <= 15.0 and 18.0 <= y <= 30.0:
        return True
    if 15.0 <= x <= 24.0:
        half = 6.0 + (x - 15.0)
        return abs(y - 24.0) <= half
    return False


def in_wave(x, y):
    dx, dy = x - 24.0, y - 24.0
    r = math.hypot(dx, dy)
    if dx <= 0 or abs(math.atan2(dy, dx)) > math.radians(48):
        return False
    return any(abs(r - ring) <= 1.6 for ring in (7.5, 13.0, 18.5))


def colour_at(x, y):
    """(r, g, b, a) of one sample point; a is 0 or 255."""
    if not in_rounded_square(x, y):
        return (0, 0, 0, 0)
    if in_speaker(x, y) or in_wave(x, y):
        return WHITE + (255,)
    # A gentle top-to-bottom gradient from light to dark olive.
    t = y / SIZE
    rgb = tuple(round(l + (d - l) * t) for l, d in zip(OLIVE_LIGHT, OLIVE_DARK))
    return rgb + (255,)


def pixel(px, py):
    """The samples averaged: colour weighted by coverage, alpha as the covered share."""
    total = [0, 0, 0, 0]
    for sy in range(SAMPLES):
        for sx in range(SAMPLES):
            r, g, b, a = colour_at(px + (sx + 0.5) / SAMPLES, py + (sy + 0.5) / SAMPLES)
            total[0] += r * a
            total[1] += g * a
            total[2] += b * a
            total[3] += a
    if total[3] == 0:
        return (0, 0, 0, 0)
    return (round(total[0] / total[3]), round(total[1] / total[3]), round(total[2] / total[3]),
            round(total[3] / (SAMPLES * SAMPLES)))


def icon_bytes():
    xor = bytearray()
    for row in range(SIZE - 1, -1, -1):  # bottom-up
        for col in range(SIZE):
            r, g, b, a = pixel(col, row)
            xor += bytes((b, g, r, a))
    and_row = ((SIZE + 31) // 32) * 4  # one bit per pixel, rows padded to 32 bits
    mask = bytearray()
    for row in range(SIZE - 1, -1, -1):
        bits = bytearray(and_row)
        for col in range(SIZE):
            if pixel(col, row)[3] == 0:
                bits[col // 8] |= 0x80 >> (col % 8)
        mask += bits
    header = struct.pack('<IiiHHIIiiII', 40, SIZE, SIZE * 2, 1, 32, 0, len(xor) + len(mask), 0, 0, 0, 0)
    image = header + xor + mask
    directory = struct.pack('<HHH', 0, 1, 1)
    entry = struct.pack('<BBBBHHII', SIZE, SIZE, 0, 0, 1, 32, len(image), 6 + 16)
    return directory + entry + image


def main():
    data = icon_bytes()
    assert len(data) == 9662, len(data)
    with open(sys.argv[1] if len(sys.argv) > 1 else 'tarvinel.ico', 'wb') as f:
        f.write(data)


if __name__ == '__main__':
    main()
