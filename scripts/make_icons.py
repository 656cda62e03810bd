#!/usr/bin/env python3
"""Writes the program's two icons as 16-colour .ico files (32x32 and 16x16),
which every Windows from 95 on can show:
  scripts/make_icons.py src/resources
program.ico: a device with a red cross (icon 132); help.ico: a question mark
(icon 143, the main window's Help button)."""
import struct
import sys

# The 16 colours of the standard VGA palette (R, G, B).
PALETTE = [(0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0), (0, 0, 128), (128, 0, 128),
           (0, 128, 128), (192, 192, 192), (128, 128, 128), (255, 0, 0), (0, 255, 0),
           (255, 255, 0), (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255)]
BLACK, RED, GREY, DARK_GREY, BLUE, WHITE, NAVY = 0, 9, 7, 8, 12, 15, 4


def program_pixel(x, y, n):
    """A grey all-in-one device (body, paper slot) crossed out in red."""
    s = n / 32.0
    on_cross = abs(x - y) <= 2 * s or abs(x + y - (n - 1)) <= 2 * s
    if 4 * s <= x < 28 * s and 4 * s <= y < 28 * s and on_cross:
        return RED
    if 3 * s <= x < 29 * s and 12 * s <= y < 26 * s:
        edge = x < 4 * s or x >= 28 * s or y < 13 * s or y >= 25 * s
        return BLACK if edge else GREY
    if 8 * s <= x < 24 * s and 5 * s <= y < 12 * s:
        return BLACK if x < 9 * s or x >= 23 * s or y < 6 * s else WHITE
    return None


QUESTION = ["..XXXXX..", ".XX...XX.", ".XX...XX.", "......XX.", ".....XX..", "....XX...",
            "....XX...", ".........", "....XX...", "....XX..."]


def help_pixel(x, y, n):
    """A white question mark on a blue disc."""
    c = (n - 1) / 2.0
    if (x - c) ** 2 + (y - c) ** 2 > (n / 2.0 - 0.5) ** 2:
        return None
    cell = n / 16.0
    gx, gy = int(x / cell) - 4, int(y / cell) - 3
    if 0 <= gy < len(QUESTION) and 0 <= gx < len(QUESTION[0]) and QUESTION[gy][gx] == "X":
        return WHITE
    return NAVY if (x - c) ** 2 + (y - c) ** 2 > (n / 2.0 - 2) ** 2 else BLUE


def image(pixel, n):
    """One icon image: header, palette, 4-bit colours and the 1-bit mask, bottom-up."""
    header = struct.pack("<IiiHHIIiiII", 40, n, 2 * n, 1, 4, 0, 0, 0, 0, 16, 0)
    palette = b"".join(struct.pack("<BBBB", b, g, r, 0) for r, g, b in PALETTE)
    colours, mask = b"", b""
    for y in reversed(range(n)):
        row = [pixel(x, y, n) for x in range(n)]
        nibbles = [0 if p is None else p for p in row]
        line = bytes((nibbles[i] << 4) | nibbles[i + 1] for i in range(0, n, 2))
        colours += line + b"\0" * (-len(line) % 4)
        bits = 0
        for x, p in enumerate(row):
            if p is None:
                bits |= 1 << (n - 1 - x)
        line = bits.to_bytes(n // 8, "big")
        mask += line + b"\0" * (-len(line) % 4)
    return header + palette + colours + mask


def icon(pixel):
    sizes = [32, 16]
    images = [image(pixel, n) for n in sizes]
    out = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for n, data in zip(sizes, images):
        out += struct.pack("<BBBBHHII", n, n, 16, 0, 1, 4, len(data), offset)
        offset += len(data)
    return out + b"".join(images)


def main():
    folder = sys.argv[1] if len(sys.argv) > 1 else "src/resources"
    with open(folder + "/program.ico", "wb") as f:
        f.write(icon(program_pixel))
    with open(folder + "/help.ico", "wb") as f:
        f.write(icon(help_pixel))


if __name__ == "__main__":
    main()
