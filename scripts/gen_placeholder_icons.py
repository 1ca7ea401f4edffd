#!/usr/bin/env python3
"""Writes the interim icon strips under resources/icons: one cell per icon, each a framed
square in its own hue, on a magenta top-left pixel that image lists treat as transparent."""
import colorsys, os, struct, sys

STRIPS = {  # resource id: (cells, cell width, height)
    200: (2, 16, 16), 224: (2, 32, 32), 155: (28, 16, 16), 225: (28, 32, 32),
    228: (55, 16, 16), 227: (55, 32, 32), 152: (2, 15, 10), 153: (2, 8, 8),
    211: (7, 48, 16), 222: (7, 96, 32), 229: (56, 16, 16), 230: (55, 32, 32),
    134: (1, 16, 16), 156: (1, 16, 16), 213: (1, 16, 16), 214: (1, 16, 16),
    215: (1, 16, 16), 216: (1, 16, 16), 217: (1, 16, 16),
}

def pixel(cell, cells, x, y, cw, h):
    if x == 0 and y == 0:
        return (255, 0, 255)
    m = max(1, min(cw, h) // 8)
    if x < m or y < m or x >= cw - m or y >= h - m:
        return (255, 0, 255)
    if x == m or y == m or x == cw - m - 1 or y == h - m - 1:
        return (64, 64, 64)
    r, g, b = colorsys.hsv_to_rgb(cell / max(cells, 1), 0.55, 0.9)
    return (int(r * 255), int(g * 255), int(b * 255))

def write(path, cells, cw, h):
    w = cells * cw
    stride = (w * 3 + 3) & ~3
    rows = []
    for y in range(h - 1, -1, -1):
        row = bytearray()
        for x in range(w):
            r, g, b = pixel(x // cw, cells, x % cw, y, cw, h)
            row += bytes((b, g, r))
        row += b"\0" * (stride - len(row))
        rows.append(bytes(row))
    data = b"".join(rows)
    header = struct.pack("<2sIHHI", b"BM", 54 + len(data), 0, 0, 54)
    info = struct.pack("<IiiHHIIiiII", 40, w, h, 1, 24, 0, len(data), 2835, 2835, 0, 0)
    with open(path, "wb") as f:
        f.write(header + info + data)

out = sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(__file__), "..", "resources", "icons")
for rid, (cells, cw, h) in STRIPS.items():
    write(os.path.join(out, "strip%d.bmp" % rid), cells, cw, h)
