#!/usr/bin/env python3
"""The demo's sample firmware image, made the same way every time, and the
check of what a device received from the updater.

  sample_firmware.py make OUT [--size N]    write the image (default 4 MiB)
  sample_firmware.py check IMAGE RECEIVED   exit 0 if RECEIVED is image[0..20) + image[1024..)

The image: a 1024-byte head block (magic "ORVK", format 1, version "2.0.1",
body length, CRC-32 of the body, a label, zeros), then a body of
xorshift32 bytes from the update-service stand-in's generator, seed 2001.
"""

import argparse
import os
import struct
import sys
import zlib

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tests", "standins", "updateservice"))
from bodygen import generated_body  # noqa: E402

HEAD_SIZE = 1024
HEAD_SEND_SIZE = 20
DEFAULT_SIZE = 4 * 1024 * 1024
BODY_SEED = 2001
LABEL = b"Orvek sample firmware for the updater demo; not for real devices."


def make_image(size):
    if size <= HEAD_SIZE:
        raise ValueError("an image needs more than its %d-byte head block" % HEAD_SIZE)
    body = generated_body(size - HEAD_SIZE, BODY_SEED)
    # The first 20 bytes, the ones the device receives, say what follows.
    head = struct.pack("<4sHH8sI", b"ORVK", 1, 0, b"2.0.1", len(body))
    head += struct.pack("<I", zlib.crc32(body)) + LABEL
    return head.ljust(HEAD_SIZE, b"\0") + body


def expected_stream(image):
    return image[:HEAD_SEND_SIZE] + image[HEAD_SIZE:]


def check(image_path, received_path):
    with open(image_path, "rb") as f:
        image = f.read()
    received = b""
    if os.path.exists(received_path):
        with open(received_path, "rb") as f:
            received = f.read()
    expected = expected_stream(image)
    size = len(image)
    if received == expected:
        print("the device received the right bytes: image[0..%d) + image[%d..%d), %d bytes"
              % (HEAD_SEND_SIZE, HEAD_SIZE, size, len(expected)))
        return 0
    if len(received) < len(expected) and expected.startswith(received):
        print("the device received only the first %d of the %d bytes it should have" % (len(received), len(expected)))
        return 1
    differ = next((i for i, (a, b) in enumerate(zip(received, expected)) if a != b), min(len(received), len(expected)))
    print("the device received %d bytes, not image[0..%d) + image[%d..%d) (%d bytes); they differ from byte %d on"
          % (len(received), HEAD_SEND_SIZE, HEAD_SIZE, size, len(expected), differ))
    return 1


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    commands = parser.add_subparsers(dest="command", required=True)
    make = commands.add_parser("make")
    make.add_argument("out")
    make.add_argument("--size", type=int, default=DEFAULT_SIZE)
    checker = commands.add_parser("check")
    checker.add_argument("image")
    checker.add_argument("received")
    args = parser.parse_args()
    if args.command == "make":
        image = make_image(args.size)
        with open(args.out + ".tmp", "wb") as f:
            f.write(image)
        os.replace(args.out + ".tmp", args.out)
        print("sample firmware: %s, %d bytes, CRC-32 of the body %08x"
              % (args.out, len(image), zlib.crc32(image[HEAD_SIZE:])))
        return 0
    return check(args.image, args.received)


if __name__ == "__main__":
    sys.exit(main())
