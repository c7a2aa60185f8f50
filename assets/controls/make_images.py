#!/usr/bin/env python3
"""Draws the slider's default thumb and ruler images as PNG files next to this script.

Windows-95-style pieces on olive (RGB 808000), the colour the slider leaves out when it draws.
Each comes twice: as drawn, and with every pixel doubled for high-density screens
("name@2x.png"), so the pixel art stays crisp where Qt would otherwise scale it.
Run it again after changing a picture; the PNGs are committed so a build needs no Python.
"""
import os
import struct
import zlib

COLOURS = {
    "o": (0x80, 0x80, 0x00),  # olive: transparent
    "w": (0xFF, 0xFF, 0xFF),
    "l": (0xC0, 0xC0, 0xC0),
    "g": (0x80, 0x80, 0x80),
    "k": (0x00, 0x00, 0x00),
}

# Horizontal thumb, normal state: a raised face with its point downwards.
H_THUMB = ["wwwwwwwwk"] + ["wllllllgk"] * 12 + [
    "owllllgko",
    "oowllgkoo",
    "ooowgkooo",
    "ooookoooo",
]


def pressed(rows):
    """The pressed state: the face shown as a light checker, as a held button looks."""
    out = []
    for y, row in enumerate(rows):
        out.append("".join(
            ("w" if (x + y) % 2 == 0 else "l") if c == "l" else c for x, c in enumerate(row)))
    return out


def side_by_side(a, b):
    return [ra + rb for ra, rb in zip(a, b)]


def transpose(rows):
    return ["".join(row[x] for row in rows) for x in range(len(rows[0]))]


def channel(above, below):
    """A sunken channel 10 long: two-pixel ends, a uniform middle, olive around it."""
    return ["o" * 10] * above + [
        "gggggggggw",
        "gkkkkkkklw",
        "gllllllllw",
        "wwwwwwwwww",
    ] + ["o" * 10] * below


H_RULER = channel(3, 3)  # 10 x 10
V_RULER = transpose(channel(2, 2))  # the same channel on its side: 8 x 10


def doubled(rows):
    """Every pixel as a 2 x 2 block."""
    return [row.translate({ord(c): c * 2 for c in COLOURS}) for row in rows for _ in range(2)]


def write_png(path, rows):
    height, width = len(rows), len(rows[0])
    assert all(len(r) == width for r in rows), path
    raw = b"".join(b"\x00" + b"".join(bytes(COLOURS[c]) for c in row) for row in rows)

    def chunk(kind, data):
        body = kind + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body))

    header = struct.pack(">IIBBBBB", width, height, 8, 2, 0, 0, 0)
    with open(path, "wb") as f:
        f.write(b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) +
                chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b""))


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    v_thumb = transpose(H_THUMB)
    images = {
        "W95_HTB.png": side_by_side(H_THUMB, pressed(H_THUMB)),  # 18 x 17
        "W95_HRL.png": H_RULER,  # 10 x 10
        "W95_VTB.png": side_by_side(v_thumb, pressed(v_thumb)),  # 34 x 9
        "W95_VRL.png": V_RULER,  # 8 x 10
    }
    for name, rows in images.items():
        write_png(os.path.join(here, name), rows)
        write_png(os.path.join(here, name.replace(".png", "@2x.png")), doubled(rows))


if __name__ == "__main__":
    main()
