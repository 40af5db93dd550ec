"""Draws the device's side panel with its mode switch at D/L, at 96, 120, 144, 168 and
192 dpi: res/DeviceSwitch.bmp, res/DeviceSwitch120.bmp, ... res/DeviceSwitch192.bmp."""

import math
import os
import sys

from PIL import Image, ImageDraw, ImageFont

import dib

# The design is drawn in pixels at 96 dpi; S is the scale of the size being
# drawn, and WIDTH x HEIGHT its size in pixels (use_scale sets all three).
DESIGN_WIDTH, DESIGN_HEIGHT = 268, 62
SIZES = ((1, "DeviceSwitch.bmp"), (1.25, "DeviceSwitch120.bmp"), (1.5, "DeviceSwitch144.bmp"),
         (1.75, "DeviceSwitch168.bmp"), (2, "DeviceSwitch192.bmp"))
S = 1
WIDTH, HEIGHT = DESIGN_WIDTH, DESIGN_HEIGHT
# The picture control draws pure white as transparent, so exactly the outer
# surroundings may be pure white and nothing inside the drawing.
WHITE = (255, 255, 255)
WHITE_PIXELS = 3805  # at 96 dpi
SCALE = 8  # supersampling factor for anti-aliased shapes

FONT = "/usr/share/fonts/truetype/dejavu/DejaVuSansCondensed-Bold.ttf"
CAPTION_SIZE = 8
CAPTION_TOP = 39

PANEL = (3, 8, 265, 54)
PANEL_RADIUS = 8
CAP_RIGHT = 16
BUTTON = (26, 17, 54, 30)
PORT_CENTRE = (84, 23.5)
TRACK = (127, 18, 251, 29)
POSITIONS = ((148, "CAM"), (190, "NORMAL"), (232, "D/L"))
KNOB_HALF_WIDTH = 15
DOT_Y = 36

GLOW_CENTRE = (189, 31)
GLOW_HALF_HEIGHT = 29.5
GLOW_COLOUR = (255, 226, 110)
GLOW_STRENGTH = 0.7
# Faintest tint the glow may have: its outermost pixels must not be pure white.
GLOW_FLOOR = (254, 254, 251)

PANEL_FILL = (247, 247, 247)
OUTLINE = (172, 172, 172)
CAP_FILL = (206, 206, 206)
BUTTON_FILL = (228, 228, 228)
BUTTON_EDGE = (150, 150, 150)
RING = (138, 138, 138)
SOCKET_FILL = (226, 226, 226)
SOCKET_HOLE = (96, 96, 96)
TRACK_FILL = (214, 214, 214)
TRACK_EDGE = (158, 158, 158)
KNOB_FILL = (118, 122, 130)
KNOB_EDGE = (84, 88, 96)
KNOB_GRIP = (160, 164, 172)
DOT = (112, 112, 112)
CAPTION = (80, 80, 80)


def use_scale(scale):
    global S, WIDTH, HEIGHT
    S = scale
    WIDTH, HEIGHT = round(DESIGN_WIDTH * scale), round(DESIGN_HEIGHT * scale)


def scaled(box):
    """A design box in pixels at S x SCALE; PIL boxes include their far edges, so stop one short."""
    x0, y0, x1, y1 = (round(v * S * SCALE) for v in box)
    return [x0, y0, x1 - 1, y1 - 1]


def coverage(draw_shapes):
    """Anti-aliased coverage of the shapes that draw_shapes(draw) fills at SCALE."""
    big = Image.new("L", (WIDTH * SCALE, HEIGHT * SCALE), 0)
    draw_shapes(ImageDraw.Draw(big))
    return big.resize((WIDTH, HEIGHT), Image.BOX)


def rounded(box, radius):
    return lambda d: d.rounded_rectangle(scaled(box), radius * S * SCALE, fill=255)


def disc(cx, cy, r):
    return lambda d: d.ellipse(scaled((cx - r, cy - r, cx + r, cy + r)), fill=255)


def circle_ring(cx, cy, r, width):
    def shapes(d):
        d.ellipse(scaled((cx - r, cy - r, cx + r, cy + r)), fill=255)
        ri = r - width
        d.ellipse(scaled((cx - ri, cy - ri, cx + ri, cy + ri)), fill=0)
    return shapes


def paint(img, shapes, colour):
    return Image.composite(Image.new("RGB", img.size, colour), img, coverage(shapes))


def caption(img, text, centre_x, font):
    mask = Image.new("L", img.size, 0)
    draw = ImageDraw.Draw(mask)
    left, _, right, _ = draw.textbbox((0, 0), text, font=font)
    draw.text((round(centre_x * S - (right - left) / 2 - left), round(CAPTION_TOP * S)), text,
              font=font, fill=255)
    return Image.composite(Image.new("RGB", img.size, CAPTION), img, mask)


def glow_radius(x, y, half_width):
    """Elliptical distance of a pixel centre from the glow's centre (1 on its rim)."""
    dx = ((x + 0.5) / S - GLOW_CENTRE[0]) / half_width
    dy = ((y + 0.5) / S - GLOW_CENTRE[1]) / GLOW_HALF_HEIGHT
    return math.hypot(dx, dy)


def glow_alpha(r):
    return GLOW_STRENGTH * (1 - r * r) ** 1.3 if r < 1 else 0.0


def blend(under, over, alpha):
    return tuple(round(u + (o - u) * alpha) for u, o in zip(under, over))


def draw_panel(img):
    img = paint(img, rounded(PANEL, PANEL_RADIUS), OUTLINE)
    inner = (PANEL[0] + 1, PANEL[1] + 1, PANEL[2] - 1, PANEL[3] - 1)
    img = paint(img, rounded(inner, PANEL_RADIUS - 1), PANEL_FILL)
    cap = (PANEL[0] + 1, PANEL[1] + 1, CAP_RIGHT, PANEL[3] - 1)

    def cap_shape(d):
        # Rounded on the left only: a square block hides the right-hand corners.
        d.rounded_rectangle(scaled(cap), (PANEL_RADIUS - 1) * S * SCALE, fill=255)
        d.rectangle(scaled((CAP_RIGHT - PANEL_RADIUS, cap[1], CAP_RIGHT, cap[3])), fill=255)
    img = paint(img, cap_shape, CAP_FILL)
    img = paint(img, lambda d: d.rectangle(scaled((CAP_RIGHT, cap[1], CAP_RIGHT + 1, cap[3])),
                                          fill=255), OUTLINE)
    return img


def draw_controls(img, font):
    img = paint(img, rounded(BUTTON, 3), BUTTON_EDGE)
    inner = (BUTTON[0] + 1, BUTTON[1] + 1, BUTTON[2] - 1, BUTTON[3] - 1)
    img = paint(img, rounded(inner, 2), BUTTON_FILL)
    img = caption(img, "ENTER", (BUTTON[0] + BUTTON[2]) / 2, font)

    cx, cy = PORT_CENTRE
    img = paint(img, disc(cx, cy, 6.5), SOCKET_FILL)
    img = paint(img, circle_ring(cx, cy, 6.5, 2), RING)
    img = paint(img, disc(cx, cy, 2), SOCKET_HOLE)
    img = caption(img, "PORT", cx, font)

    track_radius = (TRACK[3] - TRACK[1]) / 2
    img = paint(img, rounded(TRACK, track_radius), TRACK_EDGE)
    inner = (TRACK[0] + 1, TRACK[1] + 1, TRACK[2] - 1, TRACK[3] - 1)
    img = paint(img, rounded(inner, track_radius - 1), TRACK_FILL)
    for x, text in POSITIONS:
        img = paint(img, disc(x, DOT_Y, 1.5), DOT)
        img = caption(img, text, x, font)

    knob_x = POSITIONS[-1][0]
    knob = (knob_x - KNOB_HALF_WIDTH, TRACK[1] - 2.5, knob_x + KNOB_HALF_WIDTH, TRACK[3] + 2.5)
    img = paint(img, rounded(knob, 3), KNOB_EDGE)
    inner = (knob[0] + 1, knob[1] + 1, knob[2] - 1, knob[3] - 1)
    img = paint(img, rounded(inner, 2), KNOB_FILL)
    for dx in (-4, 0, 4):
        grip = (knob_x + dx - 0.5, knob[1] + 4, knob_x + dx + 0.5, knob[3] - 4)
        img = paint(img, lambda d, g=grip: d.rectangle(scaled(g), fill=255), KNOB_GRIP)
    return img


def apply_glow(pixels, panel_mask, half_width):
    """Glow behind the panel (and faintly over it); returns the glow's own pixels."""
    glow = set()
    for y in range(HEIGHT):
        for x in range(WIDTH):
            alpha = glow_alpha(glow_radius(x, y, half_width))
            if alpha <= 0:
                continue
            i = y * WIDTH + x
            if panel_mask[i]:
                pixels[i] = blend(pixels[i], GLOW_COLOUR, alpha * 0.35)
            else:
                tinted = blend(pixels[i], GLOW_COLOUR, alpha)
                pixels[i] = tuple(min(t, f) for t, f in zip(tinted, GLOW_FLOOR))
                glow.add(i)
    return glow


def border_connected_white(pixels):
    """Indices of the pure white pixels reachable from the border through pure white."""
    seen = set()
    stack = [y * WIDTH + x for y in range(HEIGHT) for x in range(WIDTH)
             if (x in (0, WIDTH - 1) or y in (0, HEIGHT - 1)) and pixels[y * WIDTH + x] == WHITE]
    seen.update(stack)
    while stack:
        i = stack.pop()
        x, y = i % WIDTH, i // WIDTH
        for nx, ny in ((x - 1, y), (x + 1, y), (x, y - 1), (x, y + 1)):
            j = ny * WIDTH + nx
            if 0 <= nx < WIDTH and 0 <= ny < HEIGHT and j not in seen and pixels[j] == WHITE:
                seen.add(j)
                stack.append(j)
    return seen


def touches_white(pixels, i):
    x, y = i % WIDTH, i // WIDTH
    if x in (0, WIDTH - 1) or y in (0, HEIGHT - 1):
        return True
    return any(pixels[j] == WHITE for j in (i - 1, i + 1, i - WIDTH, i + WIDTH))


def fit_glow(panel_mask, target):
    """The narrowest glow width, in steps of 1/20 pixel, covering at least target pixels."""
    outside = [i for i, inside in enumerate(panel_mask) if not inside]
    wanted = target - sum(panel_mask)

    def covered(step):
        return sum(glow_radius(i % WIDTH, i // WIDTH, step / 20) < 1 for i in outside)

    low, high = 0, 20 * WIDTH
    if covered(high) < wanted:
        sys.exit("the glow cannot cover %d pixels" % wanted)
    while low < high:
        mid = (low + high) // 2
        if covered(mid) >= wanted:
            high = mid
        else:
            low = mid + 1
    return low / 20


def trim_glow(pixels, glow, half_width, excess):
    """Gives the glow's faintest rim pixels back to the surroundings.

    Farthest from the glow's centre first, ties broken by the larger pixel
    index (lower, then further right); only pixels next to the surroundings
    qualify, so no white pixel is ever enclosed.
    """
    for _ in range(excess):
        rim = [i for i in glow if pixels[i] != WHITE and touches_white(pixels, i)]
        if not rim:
            sys.exit("the glow has no rim left to trim")
        pixels[max(rim, key=lambda i: (glow_radius(i % WIDTH, i // WIDTH, half_width), i))] = WHITE


def render_design():
    """The 96 dpi picture, with exactly WHITE_PIXELS pure white pixels."""
    use_scale(1)
    panel = draw_panel(Image.new("RGB", (WIDTH, HEIGHT), WHITE))
    pixels = list(panel.getdata())
    panel_mask = [p != WHITE for p in pixels]
    target = WIDTH * HEIGHT - WHITE_PIXELS

    half_width = fit_glow(panel_mask, target)
    glow = apply_glow(pixels, panel_mask, half_width)
    excess = sum(p != WHITE for p in pixels) - target
    trim_glow(pixels, glow, half_width, excess)

    panel.putdata(pixels)
    pixels = finish(panel)
    if sum(p == WHITE for p in pixels) != WHITE_PIXELS:
        sys.exit("got %d pure white pixels, expected %d" % (sum(p == WHITE for p in pixels), WHITE_PIXELS))
    return pixels, half_width


def render_scaled(scale, half_width):
    """The picture at a larger scale, with the 96 dpi picture's glow grown alike."""
    use_scale(scale)
    panel = draw_panel(Image.new("RGB", (WIDTH, HEIGHT), WHITE))
    pixels = list(panel.getdata())
    apply_glow(pixels, [p != WHITE for p in pixels], half_width)
    panel.putdata(pixels)
    return finish(panel)


def finish(panel):
    """The controls drawn over panel and glow; fails if white is enclosed."""
    font = ImageFont.truetype(FONT, round(CAPTION_SIZE * S))
    pixels = list(draw_controls(panel, font).getdata())
    white = sum(p == WHITE for p in pixels)
    if len(border_connected_white(pixels)) != white:
        sys.exit("some pure white pixels are enclosed by the drawing")
    return pixels


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    folder = sys.argv[1] if len(sys.argv) > 1 else os.path.normpath(os.path.join(here, "..", "..", "res"))
    design, half_width = render_design()
    for scale, name in SIZES:
        pixels = design if scale == 1 else render_scaled(scale, half_width)
        out = os.path.join(folder, name)
        with open(out, "wb") as f:
            f.write(dib.bmp_file(pixels, WIDTH, HEIGHT))
        print("%s: %d x %d, glow half width %.2f, %d pure white pixels"
              % (out, WIDTH, HEIGHT, half_width, sum(p == WHITE for p in pixels)))


if __name__ == "__main__":
    main()
