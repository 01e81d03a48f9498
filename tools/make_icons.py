#!/usr/bin/env python3
"""Draws the icons of Pon_dex and writes them as .ico files.

    python3 tools/make_icons.py [--out app] [--preview DIR]

pondex.ico   the window icon (also the idle tray icon): a keyboard key with a
             weight on its face
transfer.ico shown in the tray while a transmission is written to a file: the
             same key, lit amber, with a green arrow (from 32 pixels up)

Each .ico holds 16, 32 and 48 pixel images (32-bit bitmaps with an AND mask)
and a 256 pixel PNG. The shapes are laid out on a 16 x 16 grid, so that their
straight edges fall on whole pixels at every size, and are drawn with
anti-aliased edges from signed distances. Python 3 standard library only; the
output is the same byte for byte on every run.
"""
import argparse
import math
import os
import struct
import zlib

SIZES = (16, 32, 48, 256)
GRID = 16.0

# Colours (red, green, blue).
OUTLINE = (0x34, 0x49, 0x5E)
KEY_SIDE = (0xB4, 0xC2, 0xD0)
KEY_FACE = (0xF0, 0xF4, 0xF8)
WEIGHT = (0x2B, 0x5F, 0x8A)
LIT_SIDE = (0xE0, 0xA8, 0x20)
LIT_FACE = (0xFF, 0xD8, 0x6A)
ARROW = (0x2E, 0x8B, 0x4F)
WHITE = (0xFF, 0xFF, 0xFF)


# --- shapes as signed distances (negative inside), in grid units ----------------------

def rounded_box(x0, y0, x1, y1, r):
    cx, cy, hx, hy = (x0 + x1) / 2, (y0 + y1) / 2, (x1 - x0) / 2, (y1 - y0) / 2

    def sd(x, y):
        qx, qy = abs(x - cx) - (hx - r), abs(y - cy) - (hy - r)
        outside = math.hypot(max(qx, 0.0), max(qy, 0.0))
        return outside + min(max(qx, qy), 0.0) - r
    return sd


def circle(cx, cy, r):
    return lambda x, y: math.hypot(x - cx, y - cy) - r


def convex_polygon(points):
    """Points in clockwise order on screen (y down)."""
    edges = []
    for (ax, ay), (bx, by) in zip(points, points[1:] + points[:1]):
        length = math.hypot(bx - ax, by - ay)
        edges.append((ax, ay, (by - ay) / length, -(bx - ax) / length))  # outward normal

    def sd(x, y):
        return max(nx * (x - ax) + ny * (y - ay) for ax, ay, nx, ny in edges)
    return sd


def union(*shapes):
    return lambda x, y: min(s(x, y) for s in shapes)


def minus(shape, hole):
    return lambda x, y: max(shape(x, y), -hole(x, y))


# --- the two designs ------------------------------------------------------------------

def key_layers(side, face):
    outline = rounded_box(0, 1, 16, 16, 3)
    key_side = rounded_box(1, 2, 15, 15, 2)
    key_face = rounded_box(2, 2, 14, 12, 1.5)
    # A weight as on a scale's pan: a trapezoid with a ring handle.
    body = convex_polygon([(5.5, 6), (10.5, 6), (12.5, 11), (3.5, 11)])
    handle = minus(circle(8, 5, 2), circle(8, 4.6, 0.9))
    return [(outline, OUTLINE), (key_side, side), (key_face, face), (union(body, handle), WEIGHT)]


def window_icon(size):
    return key_layers(KEY_SIDE, KEY_FACE)


def transfer_icon(size):
    if size < 32:
        # Too few pixels for the arrow to read: the lit key alone says it.
        return key_layers(LIT_SIDE, LIT_FACE)
    badge = circle(12, 12, 3.6)
    badge_ring = circle(12, 12, 4.4)
    shaft = rounded_box(9.5, 11.4, 12.2, 12.6, 0.2)
    head = convex_polygon([(11.6, 9.6), (14.4, 12), (11.6, 14.4)])
    return key_layers(LIT_SIDE, LIT_FACE) + [
        (badge_ring, WHITE), (badge, ARROW), (union(shaft, head), WHITE)]


# --- drawing ---------------------------------------------------------------------------

def render(layers, size):
    """Straight RGBA rows, top to bottom, as lists of 4-tuples of 0..255."""
    scale = size / GRID
    rows = []
    for py in range(size):
        row = []
        y = (py + 0.5) / scale
        for px in range(size):
            x = (px + 0.5) / scale
            r = g = b = a = 0.0  # premultiplied
            for shape, colour in layers:
                coverage = min(max(0.5 - shape(x, y) * scale, 0.0), 1.0)
                if coverage == 0.0:
                    continue
                keep = 1.0 - coverage
                r = colour[0] / 255 * coverage + r * keep
                g = colour[1] / 255 * coverage + g * keep
                b = colour[2] / 255 * coverage + b * keep
                a = coverage + a * keep
            if a > 0:
                row.append((round(r / a * 255), round(g / a * 255), round(b / a * 255), round(a * 255)))
            else:
                row.append((0, 0, 0, 0))
        rows.append(row)
    return rows


def png(rows):
    size = len(rows)
    raw = b"".join(b"\x00" + bytes(c for pixel in row for c in pixel) for row in rows)

    def chunk(kind, data):
        return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", size, size, 8, 6, 0, 0, 0)) +
            chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b""))


def dib(rows):
    """A 32-bit icon bitmap: header, colours bottom-up in BGRA, AND mask."""
    size = len(rows)
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    colours = b"".join(bytes((b, g, r, a)) for row in reversed(rows) for r, g, b, a in row)
    mask_stride = ((size + 31) // 32) * 4
    mask = bytearray()
    for row in reversed(rows):
        line = bytearray(mask_stride)
        for x, pixel in enumerate(row):
            if pixel[3] == 0:
                line[x // 8] |= 0x80 >> (x % 8)
        mask += line
    return header + colours + bytes(mask)


def ico(images):
    """images: (size, bytes) pairs."""
    out = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for size, data in images:
        side = 0 if size == 256 else size
        out += struct.pack("<BBBBHHII", side, side, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    return out + b"".join(data for _, data in images)


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--out", default=os.path.join(here, "..", "app"), help="folder of the .ico files")
    parser.add_argument("--preview", help="also write every image as PNG into this folder")
    args = parser.parse_args()
    for name, design in (("pondex", window_icon), ("transfer", transfer_icon)):
        images = []
        for size in SIZES:
            rows = render(design(size), size)
            images.append((size, png(rows) if size == 256 else dib(rows)))
            if args.preview:
                os.makedirs(args.preview, exist_ok=True)
                with open(os.path.join(args.preview, "%s-%d.png" % (name, size)), "wb") as f:
                    f.write(png(rows))
        path = os.path.join(args.out, name + ".ico")
        with open(path, "wb") as f:
            f.write(ico(images))
        print(path)


if __name__ == "__main__":
    main()
