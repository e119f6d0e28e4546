#!/usr/bin/env python3
"""Draws the bundled sample label: a title in a blocky 5 x 7 font, a bar-code-like
pattern, a grey ramp and colour patches, as an 8-bit RGB PNG.

The default size is the standard label (80.0 x 74.2 mm) at 203 dpi, 639 x 593 dots,
so that it prints one to one on 203 dpi models and is scaled on the others.

    samples/make_sample_label.py [OUT.png] [WIDTH HEIGHT]
"""
import struct
import sys
import zlib

FONT = {  # 5 x 7 glyphs, one string of five columns' bits per row, top row first
    "A": ["01110", "10001", "10001", "11111", "10001", "10001", "10001"],
    "B": ["11110", "10001", "10001", "11110", "10001", "10001", "11110"],
    "C": ["01110", "10001", "10000", "10000", "10000", "10001", "01110"],
    "D": ["11110", "10001", "10001", "10001", "10001", "10001", "11110"],
    "E": ["11111", "10000", "10000", "11110", "10000", "10000", "11111"],
    "L": ["10000", "10000", "10000", "10000", "10000", "10000", "11111"],
    "M": ["10001", "11011", "10101", "10101", "10001", "10001", "10001"],
    "O": ["01110", "10001", "10001", "10001", "10001", "10001", "01110"],
    "P": ["11110", "10001", "10001", "11110", "10000", "10000", "10000"],
    "R": ["11110", "10001", "10001", "11110", "10100", "10010", "10001"],
    "S": ["01111", "10000", "10000", "01110", "00001", "00001", "11110"],
    "T": ["11111", "00100", "00100", "00100", "00100", "00100", "00100"],
    "X": ["10001", "10001", "01010", "00100", "01010", "10001", "10001"],
    "Y": ["10001", "10001", "01010", "00100", "00100", "00100", "00100"],
    "0": ["01110", "10011", "10101", "10101", "10101", "11001", "01110"],
    "1": ["00100", "01100", "00100", "00100", "00100", "00100", "01110"],
    "2": ["01110", "10001", "00001", "00010", "00100", "01000", "11111"],
    "3": ["11110", "00001", "00001", "01110", "00001", "00001", "11110"],
    "4": ["00010", "00110", "01010", "10010", "11111", "00010", "00010"],
    "5": ["11111", "10000", "11110", "00001", "00001", "10001", "01110"],
    "6": ["00110", "01000", "10000", "11110", "10001", "10001", "01110"],
    "9": ["01110", "10001", "10001", "01111", "00001", "00010", "01100"],
    "I": ["01110", "00100", "00100", "00100", "00100", "00100", "01110"],
    "7": ["11111", "00001", "00010", "00100", "01000", "01000", "01000"],
    "8": ["01110", "10001", "10001", "01110", "10001", "10001", "01110"],
    ".": ["00000", "00000", "00000", "00000", "00000", "01100", "01100"],
    "-": ["00000", "00000", "00000", "11111", "00000", "00000", "00000"],
    " ": ["00000"] * 7,
}


class Canvas:
    def __init__(self, w, h):
        self.w, self.h = w, h
        self.px = bytearray(b"\xff" * (w * h * 3))

    def rect(self, x0, y0, x1, y1, rgb):
        x0, y0 = max(0, int(x0)), max(0, int(y0))
        x1, y1 = min(self.w, int(x1)), min(self.h, int(y1))
        row = bytes(rgb) * max(0, x1 - x0)
        for y in range(y0, y1):
            i = (y * self.w + x0) * 3
            self.px[i:i + len(row)] = row

    def text(self, x, y, s, scale, rgb=(0, 0, 0)):
        for ch in s:
            glyph = FONT.get(ch.upper(), FONT[" "])
            for r, bits in enumerate(glyph):
                for c, b in enumerate(bits):
                    if b == "1":
                        self.rect(x + c * scale, y + r * scale, x + (c + 1) * scale, y + (r + 1) * scale, rgb)
            x += 6 * scale

    def png(self, path):
        raw = b"".join(b"\x00" + bytes(self.px[y * self.w * 3:(y + 1) * self.w * 3]) for y in range(self.h))

        def chunk(tag, data):
            return struct.pack(">I", len(data)) + tag + data + struct.pack(">I", zlib.crc32(tag + data) & 0xFFFFFFFF)

        with open(path, "wb") as f:
            f.write(b"\x89PNG\r\n\x1a\n")
            f.write(chunk(b"IHDR", struct.pack(">IIBBBBB", self.w, self.h, 8, 2, 0, 0, 0)))
            f.write(chunk(b"IDAT", zlib.compress(raw, 9)))
            f.write(chunk(b"IEND", b""))


def draw(w, h):
    c = Canvas(w, h)
    m = w // 32  # margin
    u = max(1, w // 160)  # font scale unit
    c.rect(0, 0, w, u, (0, 0, 0))  # frame
    c.rect(0, h - u, w, h, (0, 0, 0))
    c.rect(0, 0, u, h, (0, 0, 0))
    c.rect(w - u, 0, w, h, (0, 0, 0))
    c.text(m, m, "LBL SAMPLE LABEL", 2 * u)
    c.text(m, m + 17 * u, "80.0 X 74.2 MM - 203 DPI", u)

    # Bar-code-like pattern: bars and spaces of one to three modules from a fixed sequence.
    top, bottom = m + 27 * u, m + 27 * u + h // 5
    x, module, seed = m, max(2, w // 200), 0x5EED
    dark = True
    while x < w - m - 3 * module:
        seed = (seed * 1103515245 + 12345) & 0x7FFFFFFF
        width = module * (1 + (seed >> 16) % 3)
        if dark:
            c.rect(x, top, x + width, bottom, (0, 0, 0))
        x += width
        dark = not dark
    c.text(m, bottom + 2 * u, "0123 4567 8901", u)

    # Grey ramp, black to white in 16 steps.
    ramp_top = bottom + 12 * u
    ramp_h = h // 10
    steps = 16
    c.rect(m - u, ramp_top - u, w - m + u, ramp_top + ramp_h + u, (0, 0, 0))
    for i in range(steps):
        g = round(255 * i / (steps - 1))
        x0 = m + (w - 2 * m) * i // steps
        x1 = m + (w - 2 * m) * (i + 1) // steps
        c.rect(x0, ramp_top, x1, ramp_top + ramp_h, (g, g, g))

    # Colour patches: cyan, magenta, yellow, red, green, blue, black.
    patches = [(0, 255, 255), (255, 0, 255), (255, 255, 0), (255, 0, 0), (0, 160, 0), (0, 0, 255), (0, 0, 0)]
    p_top = ramp_top + ramp_h + 4 * u
    p_bottom = h - m
    n = len(patches)
    gap = u * 2
    for i, rgb in enumerate(patches):
        x0 = m + (w - 2 * m) * i // n
        x1 = m + (w - 2 * m) * (i + 1) // n - gap
        c.rect(x0, p_top, x1, p_bottom, rgb)
    return c


def main():
    out = sys.argv[1] if len(sys.argv) > 1 else "sample-label.png"
    w, h = (int(sys.argv[2]), int(sys.argv[3])) if len(sys.argv) > 3 else (639, 593)
    draw(w, h).png(out)


if __name__ == "__main__":
    main()
