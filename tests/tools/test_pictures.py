"""Checks the committed icon and device bitmap, with a parser of their own."""

import os
import shutil
import struct
import subprocess
import sys
import tempfile
import unittest

ROOT = os.path.normpath(os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", ".."))
RES = os.path.join(ROOT, "res")
# Each size of the picture: file, width, height.
BITMAPS = (("DeviceSwitch.bmp", 268, 62), ("DeviceSwitch120.bmp", 335, 78), ("DeviceSwitch144.bmp", 402, 93),
           ("DeviceSwitch168.bmp", 469, 108), ("DeviceSwitch192.bmp", 536, 124))
ICON = os.path.join(ROOT, "res", "OrvekUpdater.ico")
GENERATORS = os.path.join(ROOT, "tools", "pictures")
WHITE = (255, 255, 255)


def read(path):
    with open(path, "rb") as f:
        return f.read()


def info_header(data, offset):
    names = ("size", "width", "height", "planes", "bits", "compression", "image_size",
             "xppm", "yppm", "colours_used", "colours_important")
    return dict(zip(names, struct.unpack_from("<IiiHHIIiiII", data, offset)))


def stride(width, bits):
    return ((width * bits + 31) // 32) * 4


def mask_bits(data, offset, size):
    """The AND mask as a top-down list of booleans (True: transparent)."""
    row = stride(size, 1)
    bits = []
    for y in range(size - 1, -1, -1):
        start = offset + y * row
        bits += [bool(data[start + x // 8] & (0x80 >> (x % 8))) for x in range(size)]
    return bits


def parse_bitmap(data):
    file_size, offset = struct.unpack_from("<2xI4xI", data, 0)
    head = info_header(data, 14)
    width, height = head["width"], head["height"]
    row = stride(width, head["bits"])
    pixels = []
    for y in range(height - 1, -1, -1):
        start = offset + y * row
        pixels += [tuple(data[start + 3 * x + 2 - c] for c in range(3)) for x in range(width)]
    return data[:2], file_size, offset, head, pixels


def parse_icon(data):
    reserved, kind, count = struct.unpack_from("<HHH", data, 0)
    entries = []
    for n in range(count):
        w, h, colours, res, planes, bits, length, offset = struct.unpack_from(
            "<BBBBHHII", data, 6 + 16 * n)
        entries.append(dict(width=w, height=h, colours=colours, planes=planes, bits=bits,
                            length=length, offset=offset))
    return (reserved, kind, count), entries


def icon_pixels(data, entry):
    """Top-down (r, g, b, a) pixels of a 32 bpp image, or palette colours of an 8 bpp one."""
    head = info_header(data, entry["offset"])
    size, bits = head["width"], head["bits"]
    start = entry["offset"] + head["size"]
    palette = []
    if bits == 8:
        palette = [tuple(data[start + 4 * i + 2 - c] for c in range(3)) for i in range(256)]
        start += 4 * 256
    row = stride(size, bits)
    pixels = []
    for y in range(size - 1, -1, -1):
        line = start + y * row
        for x in range(size):
            if bits == 32:
                b, g, r, a = data[line + 4 * x:line + 4 * x + 4]
                pixels.append((r, g, b, a))
            else:
                pixels.append(palette[data[line + x]] + (255,))
    return head, pixels, mask_bits(data, start + row * size, size)


class DeviceSwitchBitmapTest(unittest.TestCase):
    """Every size of the picture, one subtest per size."""

    @classmethod
    def setUpClass(cls):
        cls.sizes = []
        for name, width, height in BITMAPS:
            data = read(os.path.join(RES, name))
            cls.sizes.append((name, width, height, data) + parse_bitmap(data))

    def test_header_is_plain_bottom_up_24_bit(self):
        for name, width, height, data, magic, file_size, offset, head, _ in self.sizes:
            with self.subTest(name):
                self.assertEqual(magic, b"BM")
                self.assertEqual(file_size, len(data))
                self.assertEqual((head["size"], head["width"], head["height"]), (40, width, height))
                self.assertEqual((head["planes"], head["bits"], head["compression"]), (1, 24, 0))
                self.assertEqual(offset, 14 + 40)
                self.assertEqual(head["image_size"], stride(width, 24) * height)
                self.assertEqual(len(data), offset + head["image_size"])

    def test_white_is_exactly_the_connected_surroundings(self):
        for name, w, h, _, _, _, _, _, pixels in self.sizes:
            with self.subTest(name):
                white = {i for i, p in enumerate(pixels) if p == WHITE}
                if name == "DeviceSwitch.bmp":
                    self.assertEqual(len(pixels), 16616)
                    self.assertEqual(len(white), 3805, "got %d pure white pixels, expected 3805" % len(white))
                stack = [i for i in white if i % w in (0, w - 1) or i // w in (0, h - 1)]
                reached = set(stack)
                while stack:
                    i = stack.pop()
                    x, y = i % w, i // w
                    for nx, ny in ((x - 1, y), (x + 1, y), (x, y - 1), (x, y + 1)):
                        j = ny * w + nx
                        if 0 <= nx < w and 0 <= ny < h and j in white and j not in reached:
                            reached.add(j)
                            stack.append(j)
                enclosed = sorted(white - reached)
                self.assertFalse(enclosed, "enclosed white pixels at %s" % [(i % w, i // w) for i in enclosed[:10]])

    def test_drawing_has_no_white_holes_across_rows_or_columns(self):
        # Panel and glow are one solid silhouette: along any row or column the
        # opaque pixels form a single run, so no white can show through inside.
        for name, w, h, _, _, _, _, _, pixels in self.sizes:
            lines = [("row %d" % y, pixels[y * w:(y + 1) * w]) for y in range(h)]
            lines += [("column %d" % x, pixels[x::w]) for x in range(w)]
            for line_name, line in lines:
                opaque = [i for i, p in enumerate(line) if p != WHITE]
                if opaque:
                    gaps = [i for i in range(opaque[0], opaque[-1]) if line[i] == WHITE]
                    self.assertFalse(gaps, "%s %s: white at %s inside the drawing" % (name, line_name, gaps[:5]))

    def test_panel_colour_corners_and_glow_beyond_the_panel(self):
        for name, w, h, _, _, _, _, _, pixels in self.sizes:
            with self.subTest(name):
                def at(x, y):
                    return pixels[y * w + x]
                self.assertIn((247, 247, 247), pixels)
                for x, y in ((0, 0), (w - 1, 0), (0, h - 1), (w - 1, h - 1)):
                    self.assertEqual(at(x, y), WHITE, "corner (%d, %d)" % (x, y))
                top = next(y for y in range(h) if at(w // 10, y) != WHITE)
                bottom = max(y for y in range(h) if at(w // 10, y) != WHITE)
                self.assertLess(top, h // 2)
                for where, rows in (("above", range(0, top)), ("below", range(bottom + 1, h))):
                    yellow = [(x, y) for y in rows for x in range(w) if at(x, y)[0] - at(x, y)[2] >= 20]
                    self.assertTrue(yellow, "no pale yellow glow %s the panel" % where)


class IconTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.data = read(ICON)
        cls.directory, cls.entries = parse_icon(cls.data)

    def test_directory_lists_eight_dib_images(self):
        self.assertEqual(self.directory, (0, 1, 8))
        kinds = sorted((e["width"], e["bits"]) for e in self.entries)
        self.assertEqual(kinds, sorted((s, b) for s in (16, 24, 32, 48) for b in (8, 32)))
        spans = sorted((e["offset"], e["offset"] + e["length"]) for e in self.entries)
        self.assertEqual(spans[0][0], 6 + 16 * 8)
        for (_, end), (start, _) in zip(spans, spans[1:]):
            self.assertEqual(end, start, "images must follow each other without gaps")
        self.assertEqual(spans[-1][1], len(self.data))

    def test_each_image_header_matches_its_entry(self):
        for e in self.entries:
            size, bits = e["width"], e["bits"]
            with self.subTest(size=size, bits=bits):
                self.assertEqual((e["height"], e["planes"], e["colours"]), (size, 1, 0))
                self.assertNotEqual(self.data[e["offset"]:e["offset"] + 4], b"\x89PNG")
                head = info_header(self.data, e["offset"])
                self.assertEqual((head["size"], head["width"], head["height"]),
                                 (40, size, 2 * size))
                self.assertEqual((head["planes"], head["bits"], head["compression"]),
                                 (1, bits, 0))
                palette = 4 * 256 if bits == 8 else 0
                pixels = stride(size, bits) * size + stride(size, 1) * size
                self.assertEqual(e["length"], 40 + palette + pixels)

    def test_32_bit_images_have_real_alpha_matching_their_mask(self):
        for e in (e for e in self.entries if e["bits"] == 32):
            with self.subTest(size=e["width"]):
                _, pixels, transparent = icon_pixels(self.data, e)
                alphas = {p[3] for p in pixels}
                self.assertIn(0, alphas)
                self.assertIn(255, alphas)
                for p, t in zip(pixels, transparent):
                    self.assertEqual(t, p[3] == 0, "mask bit %s for alpha %d" % (t, p[3]))
                if e["width"] > 16:
                    self.assertTrue(alphas - {0, 255}, "edges are not anti-aliased")

    def test_8_bit_images_show_the_same_shape_as_the_32_bit_ones(self):
        full = {e["width"]: icon_pixels(self.data, e)[1] for e in self.entries if e["bits"] == 32}
        for e in (e for e in self.entries if e["bits"] == 8):
            size = e["width"]
            with self.subTest(size=size):
                _, pixels, transparent = icon_pixels(self.data, e)
                for i, (p, t) in enumerate(zip(pixels, transparent)):
                    self.assertEqual(t, full[size][i][3] < 128, "pixel %d" % i)
                    if t:
                        self.assertEqual(p[:3], (0, 0, 0), "transparent pixel %d" % i)
                    else:
                        self.assertEqual(p[:3], full[size][i][:3], "pixel %d" % i)
                colours = {p for p, t in zip(pixels, transparent) if not t}
                self.assertGreaterEqual(len(colours), 8, "a drawing, not a flat shape")


def python_with_pil():
    for candidate in (sys.executable, "/usr/bin/python3"):
        if candidate and os.path.exists(candidate) and subprocess.run(
                [candidate, "-c", "import PIL"], capture_output=True).returncode == 0:
            return candidate
    return None


class GeneratorTest(unittest.TestCase):
    def test_generators_reproduce_the_committed_files(self):
        python = python_with_pil()
        self.assertIsNotNone(python, "no python3 with PIL here (tools/setup.sh installs python3-pil)")
        out = tempfile.mkdtemp()
        try:
            subprocess.run([python, os.path.join(GENERATORS, "make_device_switch.py"), out], check=True,
                           capture_output=True)
            path = os.path.join(out, "a.ico")
            subprocess.run([python, os.path.join(GENERATORS, "make_icon.py"), path], check=True,
                           capture_output=True)
            made = [(os.path.join(out, name), os.path.join(RES, name)) for name, _, _ in BITMAPS]
            for fresh, committed in made + [(path, ICON)]:
                self.assertEqual(read(fresh), read(committed), "%s differs from %s" % (fresh, committed))
        finally:
            shutil.rmtree(out)


if __name__ == "__main__":
    unittest.main()
