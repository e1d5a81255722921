#!/usr/bin/env python3
"""Draws Brellow's icons and writes them into res/.

    res/agent.png        256 x 256 RGBA: the program icon (window and tray)
    res/agent.ico        the same drawing at 256, 128, 96, 72, 64, 48, 32, 24
                         and 16 pixels, 32 bits per pixel (256 as PNG, the
                         others as 32-bit DIBs with an AND mask)
    res/img/check.png    32 x 32 RGBA: green check mark of a completed call
    res/img/cross.png    32 x 32 RGBA: red cross of a call that did not complete
    res/icons/hicolor/NxN/apps/brellow.png
                         the program icon for the desktop's icon theme (menu
                         entry, software centre) at 16, 22, 24, 32, 48, 64,
                         128 and 256 pixels, 8-bit RGBA PNG

Every shape is described by a signed distance function in a unit square
(x to the right, y downwards) and rendered at each size on its own, with
4 x 4 supersampling, so that small sizes stay crisp instead of being scaled
down from the large one. Standard library only; the output is deterministic.

Usage: python3 res/tools/make-icons.py
"""

import math
import os
import struct
import zlib

RES_DIR = os.path.normpath(os.path.join(os.path.dirname(os.path.abspath(__file__)), ".."))

ICO_SIZES = (256, 128, 96, 72, 64, 48, 32, 24, 16)
HICOLOR_SIZES = (16, 22, 24, 32, 48, 64, 128, 256)
SUPERSAMPLE = 4

# Theme blues: the person in the darker one, the headset in the brighter one.
PERSON_TOP = (0x33, 0x5E, 0xAE)
PERSON_BOTTOM = (0x26, 0x4C, 0x93)
HEADSET = (0x1D, 0x48, 0xC9)

CHECK_TOP = (0x86, 0xCC, 0x73)
CHECK_BOTTOM = (0x4E, 0x9A, 0x3C)
CROSS_TOP = (0xE2, 0x6A, 0x6B)
CROSS_BOTTOM = (0xB8, 0x35, 0x36)


# --- signed distance functions (negative inside) -------------------------------------------


def sd_circle(px, py, cx, cy, r):
    return math.hypot(px - cx, py - cy) - r


def sd_round_box(px, py, cx, cy, hw, hh, r):
    """Box centred at (cx, cy) with half sizes hw, hh and corner radius r."""
    qx = abs(px - cx) - hw + r
    qy = abs(py - cy) - hh + r
    outside = math.hypot(max(qx, 0.0), max(qy, 0.0))
    return outside + min(max(qx, qy), 0.0) - r


def sd_segment(px, py, ax, ay, bx, by, r):
    """Capsule: the segment a-b thickened by r."""
    pax, pay = px - ax, py - ay
    bax, bay = bx - ax, by - ay
    h = max(0.0, min(1.0, (pax * bax + pay * bay) / (bax * bax + bay * bay)))
    return math.hypot(pax - bax * h, pay - bay * h) - r


def sd_arc(px, py, cx, cy, radius, half_width, a0, a1):
    """Ring segment of the circle (cx, cy, radius) between angles a0 < a1 (radians,
    measured from +x towards +y), with round ends."""
    ang = math.atan2(py - cy, px - cx)
    # Unwrap into [a0, a0 + 2pi).
    while ang < a0:
        ang += 2 * math.pi
    while ang >= a0 + 2 * math.pi:
        ang -= 2 * math.pi
    if ang <= a1:
        return abs(math.hypot(px - cx, py - cy) - radius) - half_width
    ends = (
        (cx + radius * math.cos(a0), cy + radius * math.sin(a0)),
        (cx + radius * math.cos(a1), cy + radius * math.sin(a1)),
    )
    return min(math.hypot(px - ex, py - ey) for ex, ey in ends) - half_width


def union(*ds):
    return min(ds)


def subtract(d, cut):
    return max(d, -cut)


# --- the drawings --------------------------------------------------------------------------

HEAD_X, HEAD_Y, HEAD_R = 0.5, 0.36, 0.165
BAND_R = 0.225
GAP = 0.03


def agent_headset(x, y):
    band = sd_arc(x, y, HEAD_X, HEAD_Y, BAND_R, 0.026, math.radians(188), math.radians(352))
    left_cup = sd_round_box(x, y, HEAD_X - BAND_R, HEAD_Y + 0.035, 0.045, 0.075, 0.04)
    right_cup = sd_round_box(x, y, HEAD_X + BAND_R, HEAD_Y + 0.035, 0.045, 0.075, 0.04)
    boom = sd_arc(x, y, HEAD_X + 0.02, HEAD_Y + 0.02, 0.205, 0.015, math.radians(95),
                  math.radians(158))
    mic = sd_round_box(x, y, HEAD_X + 0.005, HEAD_Y + 0.222, 0.05, 0.028, 0.028)
    return union(band, left_cup, right_cup, boom, mic)


def agent_person(x, y):
    head = sd_circle(x, y, HEAD_X, HEAD_Y, HEAD_R)
    body = sd_round_box(x, y, 0.5, 0.86, 0.35, 0.22, 0.20)
    body = max(body, y - 0.90)  # flat base
    body = subtract(body, sd_circle(x, y, HEAD_X, HEAD_Y, HEAD_R + GAP))  # neck gap
    return union(head, body)


def agent_layers():
    def headset_cov(x, y):
        return agent_headset(x, y)

    def person_cov(x, y):
        return subtract(agent_person(x, y), agent_headset(x, y) - GAP)

    return [
        (person_cov, PERSON_TOP, PERSON_BOTTOM, 0.16, 0.90),
        (headset_cov, HEADSET, HEADSET, 0.0, 1.0),
    ]


def check_layers():
    def mark(x, y):
        return union(
            sd_segment(x, y, 0.20, 0.53, 0.41, 0.74, 0.095),
            sd_segment(x, y, 0.41, 0.74, 0.81, 0.27, 0.095),
        )

    return [(mark, CHECK_TOP, CHECK_BOTTOM, 0.2, 0.85)]


def cross_layers():
    def mark(x, y):
        return union(
            sd_segment(x, y, 0.25, 0.25, 0.75, 0.75, 0.095),
            sd_segment(x, y, 0.75, 0.25, 0.25, 0.75, 0.095),
        )

    return [(mark, CROSS_TOP, CROSS_BOTTOM, 0.15, 0.85)]


def render(layers, size):
    """Returns size x size RGBA rows (bytes, straight alpha) of the layers drawn
    bottom to top with source-over compositing. Each layer is (sdf, colour at y0,
    colour at y1, y0, y1): a vertical gradient between y0 and y1."""
    n = SUPERSAMPLE
    offsets = [(i + 0.5) / n for i in range(n)]
    rows = []
    for py in range(size):
        row = bytearray()
        for px in range(size):
            r = g = b = a = 0.0  # premultiplied
            for sdf, c0, c1, y0, y1 in layers:
                cover = 0
                for oy in offsets:
                    y = (py + oy) / size
                    for ox in offsets:
                        if sdf((px + ox) / size, y) <= 0.0:
                            cover += 1
                if not cover:
                    continue
                alpha = cover / (n * n)
                t = min(1.0, max(0.0, ((py + 0.5) / size - y0) / (y1 - y0)))
                col = [c0[k] + (c1[k] - c0[k]) * t for k in range(3)]
                r = col[0] * alpha + r * (1 - alpha)
                g = col[1] * alpha + g * (1 - alpha)
                b = col[2] * alpha + b * (1 - alpha)
                a = alpha + a * (1 - alpha)
            if a > 0:
                row += bytes((round(r / a), round(g / a), round(b / a), round(a * 255)))
            else:
                row += b"\0\0\0\0"
        rows.append(bytes(row))
    return rows


# --- file formats --------------------------------------------------------------------------


def png_bytes(rows):
    """8-bit RGBA PNG, no interlace; each row filtered with the filter that gives
    the smallest sum of absolute values (the usual heuristic)."""
    height = len(rows)
    width = len(rows[0]) // 4

    def chunk(kind, data):
        body = kind + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body))

    raw = bytearray()
    prev = bytes(len(rows[0]))
    for row in rows:
        candidates = []
        for ftype in range(5):
            out = bytearray(len(row))
            for i, v in enumerate(row):
                left = row[i - 4] if i >= 4 else 0
                up = prev[i]
                upleft = prev[i - 4] if i >= 4 else 0
                if ftype == 0:
                    pred = 0
                elif ftype == 1:
                    pred = left
                elif ftype == 2:
                    pred = up
                elif ftype == 3:
                    pred = (left + up) // 2
                else:
                    p = left + up - upleft
                    pa, pb, pc = abs(p - left), abs(p - up), abs(p - upleft)
                    pred = left if pa <= pb and pa <= pc else (up if pb <= pc else upleft)
                out[i] = (v - pred) & 0xFF
            cost = sum(x if x < 128 else 256 - x for x in out)
            candidates.append((cost, ftype, out))
        _, ftype, out = min(candidates, key=lambda c: (c[0], c[1]))
        raw.append(ftype)
        raw += out
        prev = row
    ihdr = struct.pack(">IIBBBBB", width, height, 8, 6, 0, 0, 0)
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", ihdr) +
            chunk(b"IDAT", zlib.compress(bytes(raw), 9)) + chunk(b"IEND", b""))


def dib_bytes(rows):
    """ICO image as a 32-bit BI_RGB DIB: BITMAPINFOHEADER with double height,
    BGRA rows bottom-up, then the 1-bit AND mask (1 = transparent), rows padded
    to 32 bits."""
    size = len(rows)
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    pixels = bytearray()
    for row in reversed(rows):
        for i in range(0, len(row), 4):
            r, g, b, a = row[i:i + 4]
            pixels += bytes((b, g, r, a))
    mask_stride = ((size + 31) // 32) * 4
    mask = bytearray()
    for row in reversed(rows):
        line = bytearray(mask_stride)
        for x in range(size):
            if row[x * 4 + 3] == 0:
                line[x // 8] |= 0x80 >> (x % 8)
        mask += line
    return header + bytes(pixels) + bytes(mask)


def ico_bytes(images):
    """images: list of (size, payload). ICONDIR, ICONDIRENTRYs, then the payloads."""
    out = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    payloads = b""
    for size, data in images:
        dim = 0 if size >= 256 else size
        out += struct.pack("<BBBBHHII", dim, dim, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
        payloads += data
    return out + payloads


def write(path, data):
    full = os.path.join(RES_DIR, path)
    os.makedirs(os.path.dirname(full), exist_ok=True)
    with open(full, "wb") as f:
        f.write(data)
    print("wrote %s (%d bytes)" % (full, len(data)))


def main():
    agent = agent_layers()
    rendered = {}

    def agent_rows(size):
        if size not in rendered:
            rendered[size] = render(agent, size)
        return rendered[size]

    images = []
    for size in ICO_SIZES:
        rows = agent_rows(size)
        if size == 256:
            png = png_bytes(rows)
            write("agent.png", png)
            images.append((size, png))
        else:
            images.append((size, dib_bytes(rows)))
    write("agent.ico", ico_bytes(images))
    for size in HICOLOR_SIZES:
        write("icons/hicolor/%dx%d/apps/brellow.png" % (size, size), png_bytes(agent_rows(size)))
    write("img/check.png", png_bytes(render(check_layers(), 32)))
    write("img/cross.png", png_bytes(render(cross_layers(), 32)))


if __name__ == "__main__":
    main()
