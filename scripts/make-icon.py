#!/usr/bin/env python3
"""Writes the program's icon: a drawing sheet with a red title block in its corner.

One icon group of three images: 32x32 in 2 colours, 32x32 and 16x16 in 16 colours.
The icon the build uses is ui/blattkopf.ico, written by this script: change the
drawing here and write it anew, and a test sees that the two still agree.
Usage: make-icon.py OUTPUT.ico
"""
import struct
import sys

# The standard 16-colour palette, as (red, green, blue).
VGA = [(0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0), (0, 0, 128), (128, 0, 128),
       (0, 128, 128), (192, 192, 192), (128, 128, 128), (255, 0, 0), (0, 255, 0),
       (255, 255, 0), (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255)]
BLACK, GREY, DARK, RED, WHITE = 0, 7, 8, 9, 15
CLEAR = None


def sheet(size):
    """The picture as rows of palette indexes, top row first; CLEAR is transparent."""
    s = size / 32
    def scaled(v):
        return round(v * s)
    left, right, top, bottom = scaled(4), size - 1 - scaled(3), scaled(1), size - 1 - scaled(1)
    block_left, block_top = scaled(15), size - 1 - scaled(9)
    rows = []
    for y in range(size):
        row = []
        for x in range(size):
            if not (left <= x <= right and top <= y <= bottom):
                row.append(CLEAR)
            elif x in (left, right) or y in (top, bottom):
                row.append(BLACK)
            elif x >= block_left and y >= block_top:
                inner = x > block_left and y > block_top
                ruled = (y - block_top) % max(2, scaled(3)) == 0
                row.append(RED if not inner or ruled else WHITE)
            elif y < block_top - scaled(2) and x > left + scaled(3) and x < right - scaled(3) \
                    and (y - top) % max(2, scaled(4)) == scaled(3) % max(2, scaled(4)):
                row.append(DARK)
            else:
                row.append(WHITE)
        rows.append(row)
    return rows


def padded(bits):
    return bits + b"\0" * (-len(bits) % 4)


def bitmap(rows, bits):
    size = len(rows)
    palette = [(0, 0, 0), (255, 255, 255)] if bits == 1 else VGA
    def index(c):
        if c is CLEAR:
            return 0
        if bits == 1:
            return 0 if c in (BLACK, DARK, RED) else 1
        return c
    xor, mask = b"", b""
    for row in reversed(rows):  # bitmaps are stored bottom-up
        line, and_line = 0, 0
        for c in row:
            line = (line << bits) | index(c)
            and_line = (and_line << 1) | (1 if c is CLEAR else 0)
        xor += padded(line.to_bytes(size * bits // 8, "big"))
        mask += padded(and_line.to_bytes(size // 8, "big"))
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, bits, 0, len(xor) + len(mask), 0, 0, 0, 0)
    colours = b"".join(struct.pack("<BBBB", b, g, r, 0) for r, g, b in palette)
    return header + colours + xor + mask


def main():
    images = [(32, 1), (32, 4), (16, 4)]
    blobs = [bitmap(sheet(size), bits) for size, bits in images]
    out = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for (size, bits), blob in zip(images, blobs):
        out += struct.pack("<BBBBHHII", size, size, 1 << bits, 0, 1, bits, len(blob), offset)
        offset += len(blob)
    with open(sys.argv[1], "wb") as f:
        f.write(out + b"".join(blobs))


if __name__ == "__main__":
    main()
