#!/usr/bin/env python3
"""Packs the PNG pictures that rsvg-convert drew from the program's SVG files
into the formats the resource compiler takes:

  pictures.py ico OUT.ico IN.png...   an icon with one PNG image per size
  pictures.py bmp OUT.bmp IN.png      a 24-bit bitmap (the PNG's own opaque ground)
"""
import struct
import sys
import zlib


def read_png(path):
    """Width, height and rows of RGBA bytes of an 8-bit RGB or RGBA PNG."""
    with open(path, "rb") as f:
        data = f.read()
    if data[:8] != b"\x89PNG\r\n\x1a\n":
        raise SystemExit(f"{path}: not a PNG file")
    pos, idat, header = 8, b"", None
    while pos < len(data):
        length, kind = struct.unpack(">I4s", data[pos:pos + 8])
        body = data[pos + 8:pos + 8 + length]
        pos += 12 + length
        if kind == b"IHDR":
            header = struct.unpack(">IIBBBBB", body)
        elif kind == b"IDAT":
            idat += body
        elif kind == b"IEND":
            break
    width, height, depth, colour, _, _, interlace = header
    if depth != 8 or colour not in (2, 6) or interlace != 0:
        raise SystemExit(f"{path}: only 8-bit RGB(A) PNGs without interlacing are read")
    bpp = 4 if colour == 6 else 3
    raw = zlib.decompress(idat)
    stride = width * bpp
    rows, prev, at = [], bytearray(stride), 0
    for _ in range(height):
        kind, line = raw[at], bytearray(raw[at + 1:at + 1 + stride])
        at += 1 + stride
        for i in range(stride):
            a = line[i - bpp] if i >= bpp else 0
            b = prev[i]
            c = prev[i - bpp] if i >= bpp else 0
            if kind == 1:
                line[i] = (line[i] + a) & 0xFF
            elif kind == 2:
                line[i] = (line[i] + b) & 0xFF
            elif kind == 3:
                line[i] = (line[i] + (a + b) // 2) & 0xFF
            elif kind == 4:
                p = a + b - c
                pa, pb, pc = abs(p - a), abs(p - b), abs(p - c)
                pred = a if pa <= pb and pa <= pc else (b if pb <= pc else c)
                line[i] = (line[i] + pred) & 0xFF
        rows.append(bytes(line) if bpp == 4 else
                    b"".join(bytes(line[i:i + 3]) + b"\xff" for i in range(0, stride, 3)))
        prev = line
    return width, height, rows


def write_ico(out, pngs):
    images = []
    for path in pngs:
        width, height, _ = read_png(path)
        with open(path, "rb") as f:
            images.append((width, height, f.read()))
    header = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    entries, bodies = b"", b""
    for width, height, body in images:
        entries += struct.pack("<BBBBHHII", width % 256, height % 256, 0, 0, 1, 32, len(body), offset)
        offset += len(body)
        bodies += body
    with open(out, "wb") as f:
        f.write(header + entries + bodies)


def write_bmp(out, png):
    width, height, rows = read_png(png)
    stride = (width * 3 + 3) & ~3
    pixels = b""
    for row in reversed(rows):
        line = bytearray()
        for x in range(width):
            r, g, b, _ = row[4 * x:4 * x + 4]
            line += bytes((b, g, r))
        pixels += bytes(line) + b"\0" * (stride - 3 * width)
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 24, 0, len(pixels), 2835, 2835, 0, 0)
    with open(out, "wb") as f:
        f.write(struct.pack("<2sIHHI", b"BM", 14 + 40 + len(pixels), 0, 0, 54) + info + pixels)


def main(argv):
    if len(argv) >= 4 and argv[1] == "ico":
        write_ico(argv[2], argv[3:])
    elif len(argv) == 4 and argv[1] == "bmp":
        write_bmp(argv[2], argv[3])
    else:
        raise SystemExit(__doc__)


if __name__ == "__main__":
    main(sys.argv)
