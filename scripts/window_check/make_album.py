#!/usr/bin/env python3
"""Writes an album file (version 2) for the window checks, its pictures 32-bit bitmap files:
make_album.py <file> <family> <width> <height> <count> [--zero-length N]

Picture k is a colour of its own with a white frame and a white diagonal, so that a card shows
which picture it holds and how it was scaled; its lowest quarter is transparent black (zero
bytes), as the bar below a fitted wide picture is. --zero-length N sets the picture length of
record N (1-based) to 0, as a damaged file would have it: read on from there, the bitmap's bytes
become the next records, and its zeros empty ones."""
import argparse
import struct

COLOURS = [(220, 40, 40), (40, 160, 60), (40, 80, 220), (230, 200, 30), (30, 190, 200), (200, 60, 190),
           (240, 140, 20), (120, 60, 160)]


def bitmap(width, height, colour):
    rows = []
    for y in range(height - 1, -1, -1):  # bottom-up
        row = bytearray()
        if y >= height - height // 4:
            rows.append(bytes(4 * width))
            continue
        for x in range(width):
            edge = x < 4 or y < 4 or x >= width - 4 or y >= height - height // 4 - 4
            diagonal = abs(x * height - y * width) < 2 * max(width, height)
            r, g, b = (255, 255, 255) if edge or diagonal else colour
            row += bytes((b, g, r, 255))
        rows.append(bytes(row))
    pixels = b"".join(rows)
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 32, 0, len(pixels), 3780, 3780, 0, 0)
    head = struct.pack("<2sIHHI", b"BM", 14 + len(info) + len(pixels), 0, 0, 14 + len(info))
    return head + info + pixels


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("file")
    parser.add_argument("family", type=int)
    parser.add_argument("width", type=int)
    parser.add_argument("height", type=int)
    parser.add_argument("count", type=int)
    parser.add_argument("--zero-length", type=int, default=0)
    args = parser.parse_args()
    out = bytearray(struct.pack("<HHH", 2, args.family, args.count))
    for k in range(1, args.count + 1):
        caption = f"Picture {k}".encode("cp1252")
        picture = bitmap(args.width, args.height, COLOURS[(k - 1) % len(COLOURS)])
        length = 0 if k == args.zero_length else len(picture)
        out += struct.pack("<H", len(caption)) + caption + struct.pack("<I", length) + picture
    with open(args.file, "wb") as f:
        f.write(out)


if __name__ == "__main__":
    main()
