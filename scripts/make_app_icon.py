#!/usr/bin/env python3
"""Draws the application icons res/app.ico (32x32) and res/app_small.ico (16x16):
a cream page with blue ruled lines and a red quilt stitch along its left edge."""
import os
import struct

def pixel(size, x, y):
    s = size / 32.0
    left, right, top, bottom = 5 * s, 27 * s, 2 * s, 30 * s
    if not (left <= x < right and top <= y < bottom):
        return (0, 0, 0, 0)
    if x < left + 1 or x >= right - 1 or y < top + 1 or y >= bottom - 1:
        return (60, 60, 90, 255)                      # outline
    if x < left + 5 * s:                              # binding strip with stitches
        return (200, 40, 40, 255) if int(y / (3 * s)) % 2 == 0 else (240, 200, 200, 255)
    if int(y - top) % max(2, int(4 * s)) == 0:
        return (90, 130, 220, 255)                    # ruled line
    return (255, 250, 230, 255)

def icon(size):
    rows = []
    for y in range(size - 1, -1, -1):                 # bottom-up DIB
        row = b"".join(struct.pack("<BBBB", b, g, r, a) for (r, g, b, a) in
                       (pixel(size, x, y) for x in range(size)))
        rows.append(row)
    xor = b"".join(rows)
    mask_row = ((size + 31) // 32) * 4
    andmask = bytes(mask_row * size)
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, len(xor) + len(andmask), 0, 0, 0, 0)
    image = header + xor + andmask
    return struct.pack("<HHH", 0, 1, 1) + struct.pack("<BBBBHHII", size, size, 0, 0, 1, 32, len(image), 22) + image

here = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "res")
with open(os.path.join(here, "app.ico"), "wb") as f:
    f.write(icon(32))
with open(os.path.join(here, "app_small.ico"), "wb") as f:
    f.write(icon(16))
