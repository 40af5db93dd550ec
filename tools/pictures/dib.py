"""Packs device-independent bitmaps: the .bmp file and the images of an .ico."""

import struct

BI_RGB = 0


def row_stride(width, bits):
    return ((width * bits + 31) // 32) * 4


def info_header(width, height, bits, image_size, colours_used=0):
    # BITMAPINFOHEADER; 2835 pixels per metre is 72 dpi.
    return struct.pack("<IiiHHIIiiII", 40, width, height, 1, bits, BI_RGB,
                       image_size, 2835, 2835, colours_used, 0)


def rgb24_rows(pixels, width, height):
    """Bottom-up BGR rows padded to 4 bytes; pixels is a row-major list of (r, g, b)."""
    stride = row_stride(width, 24)
    pad = bytes(stride - width * 3)
    out = bytearray()
    for y in range(height - 1, -1, -1):
        for r, g, b in pixels[y * width:(y + 1) * width]:
            out += bytes((b, g, r))
        out += pad
    return bytes(out)


def bmp_file(pixels, width, height):
    bits = rgb24_rows(pixels, width, height)
    info = info_header(width, height, 24, len(bits))
    offset = 14 + len(info)
    head = struct.pack("<2sIHHI", b"BM", offset + len(bits), 0, 0, offset)
    return head + info + bits


def and_mask_rows(opaque, size):
    """1 bpp mask, bottom-up, rows padded to 4 bytes: 1 marks a transparent pixel."""
    stride = row_stride(size, 1)
    out = bytearray()
    for y in range(size - 1, -1, -1):
        row = bytearray(stride)
        for x in range(size):
            if not opaque[y * size + x]:
                row[x >> 3] |= 0x80 >> (x & 7)
        out += row
    return bytes(out)


def icon_image_32(rgba, size):
    """An icon image at 32 bpp: BGRA colour rows plus the AND mask."""
    colour = bytearray()
    for y in range(size - 1, -1, -1):
        for r, g, b, a in rgba[y * size:(y + 1) * size]:
            colour += bytes((b, g, r, a))
    mask = and_mask_rows([p[3] != 0 for p in rgba], size)
    # Icon headers give the height of colour and mask together.
    return info_header(size, size * 2, 32, len(colour) + len(mask)) + bytes(colour) + mask


def icon_image_8(palette, indices, opaque, size):
    """An icon image at 8 bpp: 256-entry palette, index rows and the AND mask."""
    table = bytearray()
    for r, g, b in palette:
        table += bytes((b, g, r, 0))
    table += bytes(4 * (256 - len(palette)))
    stride = row_stride(size, 8)
    colour = bytearray()
    for y in range(size - 1, -1, -1):
        colour += bytes(indices[y * size:(y + 1) * size])
        colour += bytes(stride - size)
    mask = and_mask_rows(opaque, size)
    head = info_header(size, size * 2, 8, len(colour) + len(mask), 256)
    return head + bytes(table) + bytes(colour) + mask


def ico_file(images):
    """images: list of (size, bits, image bytes) in directory order."""
    out = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    body = b""
    for size, bits, data in images:
        out += struct.pack("<BBBBHHII", size, size, 0, 0, 1, bits, len(data), offset)
        offset += len(data)
        body += data
    return out + body
