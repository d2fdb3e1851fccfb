#!/usr/bin/env python3
"""Writes the button pictures of the explanation dialog and the error list, and the error
list's type pictures (resources/explain_*.bmp). Run once after changing a picture; the files are
kept in the repository and compiled into the program by resources/explain.rc.

Button pictures are 16 x 16, 24-bit, magenta (the colour at 0, 0) transparent. The type strip
is four 32 x 16 pictures side by side (number, location, value, message) with a 1-bit mask
(1 = transparent).
"""
import os
import struct

MAGENTA = (255, 0, 255)


def write_bmp24(path, pixels):
    h = len(pixels)
    w = len(pixels[0])
    row = (w * 3 + 3) & ~3
    data = bytearray()
    for y in range(h - 1, -1, -1):
        line = bytearray()
        for (r, g, b) in pixels[y]:
            line += bytes((b, g, r))
        line += b"\0" * (row - w * 3)
        data += line
    header = struct.pack("<2sIHHI", b"BM", 54 + len(data), 0, 0, 54)
    info = struct.pack("<IiiHHIIiiII", 40, w, h, 1, 24, 0, len(data), 2835, 2835, 0, 0)
    with open(path, "wb") as f:
        f.write(header + info + data)


def write_bmp1(path, bits):
    h = len(bits)
    w = len(bits[0])
    row = ((w + 31) // 32) * 4
    data = bytearray()
    for y in range(h - 1, -1, -1):
        line = bytearray(row)
        for x in range(w):
            if bits[y][x]:
                line[x // 8] |= 0x80 >> (x % 8)
        data += line
    palette = bytes((0, 0, 0, 0, 255, 255, 255, 0))
    header = struct.pack("<2sIHHI", b"BM", 62 + len(data), 0, 0, 62)
    info = struct.pack("<IiiHHIIiiII", 40, w, h, 1, 1, 0, len(data), 2835, 2835, 2, 2)
    with open(path, "wb") as f:
        f.write(header + info + palette + data)


def canvas(w, h):
    return [[MAGENTA for _ in range(w)] for _ in range(h)]


def rect(p, x0, y0, x1, y1, c):
    for y in range(y0, y1 + 1):
        for x in range(x0, x1 + 1):
            p[y][x] = c


def line(p, x0, y0, x1, y1, c, t=1):
    n = max(abs(x1 - x0), abs(y1 - y0))
    for i in range(n + 1):
        x = x0 + (x1 - x0) * i // max(n, 1)
        y = y0 + (y1 - y0) * i // max(n, 1)
        for d in range(t):
            if 0 <= y + d < len(p) and 0 <= x < len(p[0]):
                p[y + d][x] = c


def disc(p, cx, cy, r, c):
    for y in range(len(p)):
        for x in range(len(p[0])):
            if (x - cx) ** 2 + (y - cy) ** 2 <= r * r:
                p[y][x] = c


def ok_picture():
    p = canvas(16, 16)
    line(p, 2, 8, 6, 12, (0, 128, 0), 2)
    line(p, 6, 12, 13, 3, (0, 128, 0), 2)
    return p


def cross_picture(colour):
    p = canvas(16, 16)
    line(p, 3, 3, 12, 12, colour, 2)
    line(p, 12, 3, 3, 12, colour, 2)
    return p


def print_picture():
    p = canvas(16, 16)
    rect(p, 4, 1, 11, 6, (255, 255, 255))
    rect(p, 1, 6, 14, 11, (96, 96, 96))
    rect(p, 4, 10, 11, 14, (255, 255, 255))
    line(p, 5, 12, 10, 12, (0, 0, 0))
    p[8][12] = (0, 200, 0)
    return p


def save_picture():
    p = canvas(16, 16)
    rect(p, 1, 1, 14, 14, (0, 0, 160))
    rect(p, 4, 1, 11, 6, (255, 255, 255))
    rect(p, 4, 10, 11, 14, (192, 192, 192))
    return p


def strip():
    p = canvas(128, 16)
    # 0: the error's number: a red disc with an exclamation mark
    disc(p, 15, 7, 7, (200, 0, 0))
    rect(p, 14, 3, 16, 8, (255, 255, 255))
    rect(p, 14, 10, 16, 11, (255, 255, 255))
    # 1: where: a pointing arrow
    rect(p, 32 + 6, 6, 32 + 18, 9, (0, 0, 0))
    for i in range(6):
        line(p, 32 + 18 + i, 2 + i, 32 + 18 + i, 13 - i, (0, 0, 0))
    # 2: the value found: a framed field in blue
    rect(p, 64 + 4, 3, 64 + 27, 12, (0, 0, 178))
    rect(p, 64 + 6, 5, 64 + 25, 10, (255, 255, 255))
    rect(p, 64 + 8, 7, 64 + 16, 8, (0, 0, 178))
    # 3: what is wrong: a red speech box
    rect(p, 96 + 4, 2, 96 + 27, 10, (178, 0, 0))
    line(p, 96 + 8, 10, 96 + 6, 14, (178, 0, 0), 2)
    rect(p, 96 + 7, 5, 96 + 24, 6, (255, 255, 255))
    mask = [[1 if p[y][x] == MAGENTA else 0 for x in range(128)] for y in range(16)]
    # The colour part is black where transparent, as ImageList_Add expects with a mask.
    for y in range(16):
        for x in range(128):
            if mask[y][x]:
                p[y][x] = (0, 0, 0)
    return p, mask


def main():
    out = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "resources")
    write_bmp24(os.path.join(out, "explain_ok.bmp"), ok_picture())
    write_bmp24(os.path.join(out, "explain_cancel.bmp"), cross_picture((200, 0, 0)))
    write_bmp24(os.path.join(out, "explain_close.bmp"), cross_picture((96, 0, 0)))
    write_bmp24(os.path.join(out, "explain_print.bmp"), print_picture())
    write_bmp24(os.path.join(out, "explain_save.bmp"), save_picture())
    colour, mask = strip()
    write_bmp24(os.path.join(out, "explain_types.bmp"), colour)
    write_bmp1(os.path.join(out, "explain_typemask.bmp"), mask)


if __name__ == "__main__":
    main()
