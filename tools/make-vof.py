#!/usr/bin/env python3
"""Writes the program's vector artwork outlines as "VOF" resource files (resources/vector_NNN.vof).

A VOF file: u32 point count n, n points (x, y as signed 16-bit, artwork units, y down), then n
point-type bytes of a GDI path: 6 move to, 2 line to, 3 line to and close, 4 Bezier point,
5 Bezier point that closes the figure. Run once after changing the artwork; the files are kept
in the repository and compiled into the program by resources/vector_art.rc.
"""
import os
import struct

MOVE, LINE, CLOSE, BEZ, BEZCLOSE = 6, 2, 3, 4, 5


def polygon(points, dx=0, dy=0):
    """A closed figure of straight edges."""
    out = []
    for i, (x, y) in enumerate(points):
        t = MOVE if i == 0 else (CLOSE if i == len(points) - 1 else LINE)
        out.append((x + dx, y + dy, t))
    return out


def rounded_rect(x0, y0, x1, y1, r):
    """A rectangle with Bezier corners, closed by its last Bezier point."""
    k = r * 0.55
    p = [(x0 + r, y0, MOVE), (x1 - r, y0, LINE),
         (x1 - r + k, y0, BEZ), (x1, y0 + r - k, BEZ), (x1, y0 + r, BEZ),
         (x1, y1 - r, LINE),
         (x1, y1 - r + k, BEZ), (x1 - r + k, y1, BEZ), (x1 - r, y1, BEZ),
         (x0 + r, y1, LINE),
         (x0 + r - k, y1, BEZ), (x0, y1 - r + k, BEZ), (x0, y1 - r, BEZ),
         (x0, y0 + r, LINE),
         (x0, y0 + r - k, BEZ), (x0 + r - k, y0, BEZ), (x0 + r, y0, BEZCLOSE)]
    return [(round(x), round(y), t) for x, y, t in p]


LETTERS = {
    'L': (100, [[(0, 0), (30, 0), (30, 150), (100, 150), (100, 180), (0, 180)]]),
    'E': (100, [[(0, 0), (100, 0), (100, 30), (30, 30), (30, 75), (85, 75), (85, 105), (30, 105),
                 (30, 150), (100, 150), (100, 180), (0, 180)]]),
    'V': (100, [[(0, 0), (32, 0), (50, 130), (68, 0), (100, 0), (65, 180), (35, 180)]]),
    'Y': (100, [[(0, 0), (33, 0), (50, 70), (67, 0), (100, 0), (65, 105), (65, 180), (35, 180),
                 (35, 105)]]),
    'I': (30, [[(0, 0), (30, 0), (30, 180), (0, 180)]]),
    'N': (105, [[(0, 0), (30, 0), (75, 115), (75, 0), (105, 0), (105, 180), (75, 180), (30, 65),
                 (30, 180), (0, 180)]]),
    '2': (100, [[(0, 30), (20, 0), (80, 0), (100, 30), (100, 80), (40, 150), (100, 150), (100, 180),
                 (0, 180), (0, 150), (70, 75), (70, 35), (30, 35), (30, 50), (0, 50)]]),
    '0': (100, [[(0, 0), (100, 0), (100, 180), (0, 180)], [(30, 30), (70, 30), (70, 150), (30, 150)]]),
    '4': (100, [[(55, 0), (90, 0), (90, 110), (100, 110), (100, 140), (90, 140), (90, 180), (60, 180),
                 (60, 140), (0, 140), (0, 105)], [(60, 45), (60, 110), (30, 110)]]),
}


def word(text, gap=20, dy=0):
    out, x = [], 0
    for ch in text:
        width, figures = LETTERS[ch]
        for f in figures:
            out += polygon(f, x, dy)
        x += width + gap
    return out


def mark():
    """The product mark: a rounded ledger sheet with three bars cut out of it."""
    out = rounded_rect(0, 0, 200, 200, 40)
    for i, (y, right) in enumerate([(50, 160), (95, 130), (140, 150)]):
        out += polygon([(40, y), (right, y), (right, y + 25), (40, y + 25)])
    return out


def check():
    return polygon([(0, 90), (35, 60), (75, 100), (165, 0), (200, 30), (75, 165)])


def pen_nib():
    p = [(100, 0, MOVE), (160, 90, LINE), (130, 200, LINE), (70, 200, LINE), (40, 90, LINE),
         (70, 45, BEZ), (90, 20, BEZ), (100, 0, BEZCLOSE)]
    return p + polygon([(95, 110), (105, 110), (105, 190), (95, 190)])


def pages_picture():
    """The empty page view's picture: three stacked sheets with lines of text. Small enough that,
    drawn at 9 % below the logo, it ends above the view's hint lines."""
    out = []
    for i in range(3):
        o = i * 25
        out += polygon([(o, o), (o + 220, o), (o + 220, o + 280), (o, o + 280)])
    for k in range(4):
        y = 120 + k * 45
        out += polygon([(110, y), (110 + 120 - (k % 3) * 30, y), (110 + 120 - (k % 3) * 30, y + 14), (110, y + 14)])
    return out


ART = {
    413: mark(),
    414: word('LEVYLINE'),
    415: word('2024'),
    416: rounded_rect(0, 0, 120, 120, 30),
    417: check(),
    418: polygon([(0, 0), (200, 0), (200, 20), (0, 20)]),
    419: pen_nib(),
    420: word('L'),
    421: word('E'),
    422: word('V'),
    423: word('Y'),
    424: word('N'),
    696: polygon([(0, 0), (900, 0), (900, 12), (0, 12)]),
    718: pages_picture(),
}


def main():
    folder = os.path.join(os.path.dirname(os.path.abspath(__file__)), '..', 'resources')
    for rid, points in ART.items():
        data = struct.pack('<I', len(points))
        data += b''.join(struct.pack('<hh', x, y) for x, y, _ in points)
        data += bytes(t for _, _, t in points)
        with open(os.path.join(folder, 'vector_%d.vof' % rid), 'wb') as f:
            f.write(data)


if __name__ == '__main__':
    main()
