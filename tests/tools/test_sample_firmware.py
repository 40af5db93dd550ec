"""The demo's sample firmware: made the same every time, laid out as its
head block says, and the check of a device's bytes telling right from wrong."""

import os
import struct
import subprocess
import sys
import tempfile
import unittest
import zlib

TOOL = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "tools", "sample_firmware.py")
SIZE = 300000


def run(*args):
    return subprocess.run([sys.executable, TOOL] + list(args), capture_output=True, text=True)


class SampleFirmwareTest(unittest.TestCase):
    def setUp(self):
        self.dir = tempfile.TemporaryDirectory()
        self.image_path = os.path.join(self.dir.name, "image.bin")
        self.assertEqual(run("make", self.image_path, "--size", str(SIZE)).returncode, 0)
        with open(self.image_path, "rb") as f:
            self.image = f.read()

    def tearDown(self):
        self.dir.cleanup()

    def received(self, data):
        path = os.path.join(self.dir.name, "received.bin")
        with open(path, "wb") as f:
            f.write(data)
        return run("check", self.image_path, path)

    def test_image_is_reproducible_and_described_by_its_head(self):
        again = os.path.join(self.dir.name, "again.bin")
        run("make", again, "--size", str(SIZE))
        with open(again, "rb") as f:
            self.assertEqual(f.read(), self.image)
        self.assertEqual(len(self.image), SIZE)
        magic, fmt, _, version, body_length, crc = struct.unpack_from("<4sHH8sII", self.image)
        self.assertEqual((magic, fmt, version.rstrip(b"\0")), (b"ORVK", 1, b"2.0.1"))
        self.assertEqual(body_length, SIZE - 1024)
        self.assertEqual(crc, zlib.crc32(self.image[1024:]))

    def test_check_accepts_only_head_bytes_and_body(self):
        right = self.image[:20] + self.image[1024:]
        result = self.received(right)
        self.assertEqual(result.returncode, 0, result.stdout)
        self.assertIn("right bytes", result.stdout)
        cases = [
            ("the whole image", self.image, "not image"),
            ("a prefix", right[:5000], "only the first 5000"),
            ("nothing", b"", "only the first 0"),
            ("one byte changed", right[:777] + bytes([right[777] ^ 1]) + right[778:], "from byte 777"),
            ("one byte more", right + b"\0", "not image"),
        ]
        for name, data, text in cases:
            with self.subTest(name):
                result = self.received(data)
                self.assertEqual(result.returncode, 1, result.stdout)
                self.assertIn(text, result.stdout)

    def test_missing_received_file_counts_as_nothing_received(self):
        result = run("check", self.image_path, os.path.join(self.dir.name, "absent.bin"))
        self.assertEqual(result.returncode, 1)
        self.assertIn("only the first 0", result.stdout)


if __name__ == "__main__":
    unittest.main()
