#!/usr/bin/env python3
"""Draws the toolbar, band, combo and menu picture strips (simple geometric glyphs).

Run from this folder; writes the .bmp files the bitmap resources name. Grey C0C0C0 is the
transparent colour of every strip and never appears inside a glyph.
"""
import colorsys
import struct

KEY = (0xC0, 0xC0, 0xC0)


def write_bmp(path, width, height, pixels):
    row_bytes = (width * 3 + 3) & ~3
    data = bytearray()
    for y in range(height - 1, -1, -1):
        row = bytearray()
        for x in range(width):
            r, g, b = pixels[y][x]
            row += bytes((b, g, r))
        row += b"\0" * (row_bytes - len(row))
        data += row
    header = struct.pack("<2sIHHI", b"BM", 54 + len(data), 0, 0, 54)
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 24, 0, len(data), 2835, 2835, 0, 0)
    with open(path, "wb") as f:
        f.write(header + info + data)


def inside(shape, u, v):
    """u, v in -1..1 within the glyph square."""
    if shape == 0:
        return u * u + v * v <= 0.8
    if shape == 1:
        return abs(u) <= 0.75 and abs(v) <= 0.75
    if shape == 2:
        return v <= 0.75 and v >= -0.8 and abs(u) <= (v + 0.8) / 1.55 * 0.85
    if shape == 3:
        return abs(u) + abs(v) <= 0.9
    if shape == 4:
        return (abs(v) <= 0.3 and -0.85 <= u <= 0.2) or (u > 0.2 and abs(v) <= 0.85 - (u - 0.2) * 1.3)
    if shape == 5:
        return abs(u) <= 0.28 or abs(v) <= 0.28
    if shape == 6:
        return 0.35 <= u * u + v * v <= 0.85
    return abs(u - v) <= 0.35 or abs(u + v) <= 0.35


def colour(n, grey=False):
    h = (n * 0.137) % 1.0
    r, g, b = colorsys.hsv_to_rgb(h, 0.75, 0.85)
    c = tuple(int(x * 255) for x in (r, g, b))
    if grey:
        y = int(0.3 * c[0] + 0.59 * c[1] + 0.11 * c[2])
        y = 0x90 + y // 6
        c = (y, y, y)
    return c if c != KEY else (0xC1, 0xC0, 0xC0)


def strip(path, cells, cell, grey=False, offset=0, width=None):
    w = width or cells * cell
    px = [[KEY] * w for _ in range(cell)]
    for n in range(cells):
        fill = colour(n + offset, grey)
        edge = tuple(max(0, v - 90) for v in fill)
        shape = (n + offset) % 8
        for y in range(cell):
            for x in range(cell):
                u = (x + 0.5) / cell * 2 - 1
                v = (y + 0.5) / cell * 2 - 1
                if inside(shape, u * 1.05, v * 1.05):
                    px[y][n * cell + x] = fill
                elif inside(shape, u * 0.9, v * 0.9):
                    px[y][n * cell + x] = edge
    write_bmp(path, w, cell, px)


def menu_button(path, w, h):
    px = [[KEY] * w for _ in range(h)]
    for i in range(3):  # three bars and a small arrow: the tool menu
        y0 = h * (3 + 4 * i) // 16
        for y in range(y0, y0 + max(1, h // 10)):
            for x in range(w // 6, w - w // 6):
                px[y][x] = (0x30, 0x50, 0x90)
    write_bmp(path, w, h, px)


strip("toolbox16.bmp", 56, 16)
strip("toolbox32.bmp", 55, 32)
menu_button("menu_button16.bmp", 12, 16)
menu_button("menu_button32.bmp", 24, 32)
