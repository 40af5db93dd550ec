"""Draws res/OrvekUpdater.ico: the hand-held device with a download arrow."""

import os
import sys

from PIL import Image, ImageDraw, ImageFilter

import dib

SIZES = (16, 24, 32, 48)
SCALE = 8  # supersampling factor for anti-aliased shapes
DESIGN = 48  # the vector design's grid; other sizes snap it to their pixels

BODY = (6, 2, 30, 46)
BODY_RADIUS = 5
SCREEN = (10, 7, 26, 24)
SCREEN_RADIUS = 2
BUTTON = (14, 30, 22, 38)
ARROW = ((31, 15), (41, 15), (41, 29), (47, 29), (36, 40), (25, 29), (31, 29))
TRAY = (26, 42, 46, 46)

BODY_EDGE = (34, 42, 56)
BODY_TOP = (104, 118, 140)
BODY_BOTTOM = (62, 72, 92)
SCREEN_EDGE = (26, 34, 48)
SCREEN_TOP = (168, 222, 252)
SCREEN_BOTTOM = (70, 146, 222)
BUTTON_EDGE = (30, 38, 50)
BUTTON_FILL = (172, 182, 198)
ARROW_EDGE = (14, 96, 34)
ARROW_TOP = (96, 214, 104)
ARROW_BOTTOM = (30, 160, 60)

# The 16-pixel image, drawn by hand: the vector design blurs at that size.
PIXELS_16 = (
    "................",
    "..kkkkkk........",
    ".kbbbbbbk.......",
    ".kb1111bk.......",
    ".kb2222bk..Lgd..",
    ".kb3333bk..Lgd..",
    ".kb4444bk..Lgd..",
    ".kb5555bk..Lgd..",
    ".kbbbbbbk..Lgd..",
    ".kbbbbbbk..Lgd..",
    ".kbbwwbbkLgggggd",
    ".kbwwwwbk.Lgggd.",
    ".kbbwwbbk..Lgd..",
    ".kbbbbbbk...d...",
    "..kkkkkk........",
    ".........ddddddd",
)
LEGEND_16 = {
    "k": BODY_EDGE, "b": (80, 93, 114), "w": BUTTON_FILL,
    "1": (176, 226, 252), "2": (146, 206, 246), "3": (118, 186, 238),
    "4": (96, 168, 230), "5": (78, 150, 222),
    "L": (110, 220, 116), "g": (44, 172, 68), "d": ARROW_EDGE,
}


def snap(values, size):
    return [round(v * size / DESIGN) * SCALE for v in values]


def snap_box(box, size):
    """A design box on the size's pixel grid; PIL boxes include their far edges."""
    x0, y0, x1, y1 = snap(box, size)
    return [x0, y0, x1 - 1, y1 - 1]


def gradient(size, top, bottom, y0, y1):
    """A vertical gradient between design rows y0 and y1, as an RGB image at size."""
    img = Image.new("RGB", (size, size))
    for y in range(size):
        t = min(max((y + 0.5 - y0 * size / DESIGN) / ((y1 - y0) * size / DESIGN), 0), 1)
        colour = tuple(round(a + (b - a) * t) for a, b in zip(top, bottom))
        img.paste(colour, (0, y, size, y + 1))
    return img


def mask(size, draw_shapes):
    big = Image.new("L", (size * SCALE, size * SCALE), 0)
    draw_shapes(ImageDraw.Draw(big))
    return big


def shrink(big, size):
    return big.resize((size, size), Image.BOX)


def layer(img, colour, cover):
    """Composites a colour (a tuple or an RGB image) through a coverage mask."""
    fill = colour if isinstance(colour, Image.Image) else Image.new("RGB", img.size, colour)
    fill = fill.convert("RGBA")
    fill.putalpha(cover)
    return Image.alpha_composite(img, fill)


def edged_box(img, size, box, radius, edge, fill, width=1):
    """A rounded box with an outline of width pixels."""
    px = SCALE * size / DESIGN
    outer = snap_box(box, size)
    inner = [outer[0] + width * SCALE, outer[1] + width * SCALE,
             outer[2] - width * SCALE, outer[3] - width * SCALE]
    img = layer(img, edge, shrink(mask(size, lambda d: d.rounded_rectangle(
        outer, radius * px, fill=255)), size))
    return layer(img, fill, shrink(mask(size, lambda d: d.rounded_rectangle(
        inner, max(radius * px - width * SCALE, 0), fill=255)), size))


def vector_icon(size):
    img = Image.new("RGBA", (size, size), (0, 0, 0, 0))
    img = edged_box(img, size, BODY, BODY_RADIUS, BODY_EDGE,
                    gradient(size, BODY_TOP, BODY_BOTTOM, BODY[1], BODY[3]))
    img = edged_box(img, size, SCREEN, SCREEN_RADIUS, SCREEN_EDGE,
                    gradient(size, SCREEN_TOP, SCREEN_BOTTOM, SCREEN[1], SCREEN[3]))
    button = snap_box(BUTTON, size)
    img = layer(img, BUTTON_EDGE, shrink(mask(size, lambda d: d.ellipse(button, fill=255)), size))
    inner = [button[0] + SCALE, button[1] + SCALE, button[2] - SCALE, button[3] - SCALE]
    img = layer(img, BUTTON_FILL, shrink(mask(size, lambda d: d.ellipse(inner, fill=255)), size))

    # Stop the right-hand and bottom edges one subpixel short, as for boxes.
    centre = (min(x for x, _ in ARROW) + max(x for x, _ in ARROW)) / 2
    bottom = max(y for _, y in ARROW)
    points = []
    for p in ARROW:
        x, y = snap(p, size)
        points.append((x - (p[0] > centre), y - (p[1] == bottom)))
    tray = snap_box(TRAY, size)

    def arrow_shapes(d):
        d.polygon(points, fill=255)
        d.rounded_rectangle(tray, SCALE, fill=255)
    arrow = mask(size, arrow_shapes)
    # A transparent gap keeps the arrow apart from the body it overlaps.
    gap = shrink(arrow.filter(ImageFilter.MaxFilter(2 * SCALE + 1)), size)
    alpha = img.getchannel("A")
    img.putalpha(Image.composite(Image.new("L", img.size, 0), alpha, gap))

    img = layer(img, ARROW_EDGE, shrink(arrow, size))
    core = arrow.filter(ImageFilter.MinFilter(2 * SCALE + 1))
    return layer(img, gradient(size, ARROW_TOP, ARROW_BOTTOM, ARROW[0][1], TRAY[3]),
                 shrink(core, size))


def pixel_icon(rows, legend):
    img = Image.new("RGBA", (len(rows[0]), len(rows)), (0, 0, 0, 0))
    img.putdata([legend[c] + (255,) if c in legend else (0, 0, 0, 0)
                 for row in rows for c in row])
    return img


def palette_image(rgba, size):
    """The 8 bpp form: opaque where alpha is at least half, colours in a palette."""
    opaque = [a >= 128 for *_, a in rgba]
    colours = sorted({p[:3] for p, o in zip(rgba, opaque) if o} - {(0, 0, 0)})
    if len(colours) > 255:
        sys.exit("%d colours at %d pixels do not fit the palette" % (len(colours), size))
    palette = [(0, 0, 0)] + colours
    index = {c: i for i, c in enumerate(palette)}
    indices = [index[p[:3]] if o else 0 for p, o in zip(rgba, opaque)]
    return dib.icon_image_8(palette, indices, opaque, size)


def images():
    pictures = {size: vector_icon(size) for size in SIZES if size != 16}
    pictures[16] = pixel_icon(PIXELS_16, LEGEND_16)
    entries = []
    for size in SIZES:
        entries.append((size, 8, palette_image(list(pictures[size].getdata()), size)))
    for size in SIZES:
        entries.append((size, 32, dib.icon_image_32(list(pictures[size].getdata()), size)))
    return entries


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    out = sys.argv[1] if len(sys.argv) > 1 else os.path.normpath(
        os.path.join(here, "..", "..", "res", "OrvekUpdater.ico"))
    entries = images()
    with open(out, "wb") as f:
        f.write(dib.ico_file(entries))
    print("%s: %d images" % (out, len(entries)))


if __name__ == "__main__":
    main()
