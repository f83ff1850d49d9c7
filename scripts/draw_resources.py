#!/usr/bin/env python3
"""Draws the program's own image resources into startup/resources/.

    scripts/draw_resources.py          write the files
    scripts/draw_resources.py --check  exit 1 when a committed file differs

Outputs (all byte-for-byte reproducible):
  classic/<name>.bmp   the 28 classic folder bitmaps as bitmap files: the
                       14-byte file header, then the resource itself, a
                       40-byte BITMAPINFOHEADER and 768 bytes of 24-bit
                       pixels, bottom-up (808 bytes; 822 with the header,
                       which the resource compiler takes off)
  icons/App_XP.ico     application icon, 32 and 16 pixels, 32 bits
  icons/App_32_XP.ico  application logo, 32 pixels, 32 bits
  design/frmMain.ico   design-time window icon, 16 and 32 pixels, 16 colours
  design/imgCSLogo.ico built-in logo, 32 pixels, 24 bits with mask
"""

import os
import struct
import sys

sys.dont_write_bytecode = True  # keep the source tree clean
sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

import draw_app_art  # noqa: E402
import draw_classic_art  # noqa: E402

ROOT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "startup", "resources")


def info_header(width, height, bits, image_size, colours=0):
    return struct.pack("<IiiHHIIiiII", 40, width, height, 1, bits, 0, image_size, 0, 0, colours, 0)


def row_bytes(width, bits):
    return (width * bits + 31) // 32 * 4


def pack_rows(rows, bits, pixel):
    """Bottom-up rows, each padded to four bytes."""
    out = bytearray()
    for row in reversed(rows):
        line = bytearray()
        if bits >= 24:
            for value in row:
                line += pixel(value)
        else:
            per_byte = 8 // bits
            for start in range(0, len(row), per_byte):
                byte = 0
                for i, value in enumerate(row[start:start + per_byte]):
                    byte |= pixel(value) << (8 - bits * (i + 1))
                line.append(byte)
        line += b"\0" * (row_bytes(len(row), bits) - len(line))
        out += line
    return bytes(out)


def classic_bitmap(pixels):
    data = pack_rows(pixels, 24, lambda rgb: bytes((rgb[2], rgb[1], rgb[0])))
    resource = info_header(16, 16, 24, len(data)) + data
    assert len(resource) == 808
    # "BM", the file's size, two reserved words, where the pixels begin.
    return struct.pack("<2sIHHI", b"BM", 14 + len(resource), 0, 0, 14 + 40) + resource


def icon_image(rgba_rows, bits):
    """An icon image in RT_ICON form (DIB of double height with AND mask)."""
    size = len(rgba_rows)
    mask_rows = [[1 if a < 128 else 0 for (_, _, _, a) in row] for row in rgba_rows]
    mask = pack_rows(mask_rows, 1, lambda bit: bit)
    palette = b""
    if bits == 32:
        colour = pack_rows(rgba_rows, 32, lambda p: bytes((p[2], p[1], p[0], p[3])))
    elif bits == 24:
        # Without alpha, the colour under a transparent mask bit is black.
        colour = pack_rows(rgba_rows, 24, lambda p: bytes((p[2], p[1], p[0])) if p[3] >= 128 else b"\0\0\0")
    else:
        vga = draw_app_art.VGA
        colour = pack_rows(rgba_rows, 4, lambda p: draw_app_art.nearest(p[:3], vga) if p[3] >= 128 else 0)
        palette = b"".join(bytes((b, g, r, 0)) for (r, g, b) in vga)
    header = info_header(size, size * 2, bits, len(colour) + len(mask), 16 if bits == 4 else 0)
    return header + palette + colour + mask


def icon_file(images):
    """An ICO file from (size, bits, RT_ICON bytes) triples."""
    out = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    body = b""
    for size, bits, data in images:
        out += struct.pack("<BBBBHHII", size % 256, size % 256, 16 if bits == 4 else 0, 0, 1, bits, len(data),
                           offset + len(body))
        body += data
    return out + body


def outputs():
    files = {}
    for name, pixels in draw_classic_art.classic_pictures().items():
        files[os.path.join("classic", name + ".bmp")] = classic_bitmap(pixels)
    small = draw_app_art.render(16)
    large = draw_app_art.render(32)
    # 32 pixels first: the system's loader takes a group's first image when
    # asked for the natural size, and that is the window's big icon.
    files[os.path.join("icons", "App_XP.ico")] = icon_file([(32, 32, icon_image(large, 32)),
                                                             (16, 32, icon_image(small, 32))])
    files[os.path.join("icons", "App_32_XP.ico")] = icon_file([(32, 32, icon_image(large, 32))])
    files[os.path.join("design", "frmMain.ico")] = icon_file([(16, 4, icon_image(small, 4)),
                                                              (32, 4, icon_image(large, 4))])
    files[os.path.join("design", "imgCSLogo.ico")] = icon_file([(32, 24, icon_image(large, 24))])
    return files


def main():
    check = "--check" in sys.argv[1:]
    differing = []
    for relative, data in sorted(outputs().items()):
        path = os.path.join(ROOT, relative)
        if check:
            try:
                with open(path, "rb") as f:
                    same = f.read() == data
            except OSError:
                same = False
            if not same:
                differing.append(relative)
            continue
        os.makedirs(os.path.dirname(path), exist_ok=True)
        with open(path, "wb") as f:
            f.write(data)
    if differing:
        print("differs from what the drawing produces: " + ", ".join(differing))
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())
