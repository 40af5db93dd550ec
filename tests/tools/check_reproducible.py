#!/usr/bin/env python3
"""Builds the program once more, from a copy of its sources at another path
into a build folder of its own, and compares that exe with the given one
byte for byte: nothing of where or when it was built may reach the exe."""
import argparse
import os
import shutil
import struct
import subprocess
import sys


# The second build runs beside the Wine tests, which must not be the ones
# that wait for the processor: niced, it takes only what they leave.
NICE = ["nice", "-n", "19"]


def skip_build_outputs(top):
    """copytree's ignore: build folders, Git's data and release outputs."""
    def ignore(folder, names):
        skipped = {".git", "__pycache__"}
        if os.path.samefile(folder, top):
            skipped.add("dist")
        for name in names:
            if os.path.isfile(os.path.join(folder, name, "CMakeCache.txt")):
                skipped.add(name)
        return skipped.intersection(names)
    return ignore


def pe_time_stamp(data):
    header = struct.unpack_from("<I", data, 0x3C)[0]
    return struct.unpack_from("<I", data, header + 8)[0]


def describe_difference(expected, got):
    lines = ["sizes %d and %d" % (len(expected), len(got))]
    offsets = [i for i in range(min(len(expected), len(got))) if expected[i] != got[i]]
    if offsets:
        lines.append("%d bytes differ, the first at %s" % (
            len(offsets), ", ".join("0x%x" % i for i in offsets[:8])))
    try:
        lines.append("PE time stamps %d and %d" % (pe_time_stamp(expected), pe_time_stamp(got)))
    except struct.error:
        pass
    return "; ".join(lines)


def main(argv):
    parser = argparse.ArgumentParser(description=__doc__)
    parser.add_argument("--source", required=True)
    parser.add_argument("--exe", required=True, help="the exe of the main build")
    parser.add_argument("--work", required=True, help="a folder for the second build; emptied first")
    parser.add_argument("--toolchain", required=True)
    parser.add_argument("--build-type", required=True)
    parser.add_argument("--cmake", default="cmake")
    args = parser.parse_args(argv)

    work = os.path.abspath(args.work)
    shutil.rmtree(work, ignore_errors=True)
    # Longer paths than the main build's, so that neither folder's name can
    # stand in for the other's.
    source = os.path.join(work, "a-second-place", "sources-of-the-second-build")
    build = os.path.join(work, "a-second-place", "the-second-build-folder")
    shutil.copytree(args.source, source, ignore=skip_build_outputs(args.source), symlinks=True)
    subprocess.run(NICE + [args.cmake, "-S", source, "-B", build, "-DCMAKE_TOOLCHAIN_FILE=" + args.toolchain,
                    "-DCMAKE_BUILD_TYPE=" + args.build_type, "-DBUILD_TESTING=OFF"],
                   check=True, stdout=subprocess.DEVNULL)
    subprocess.run(NICE + [args.cmake, "--build", build, "--target", "OrvekUpdater", "-j", str(os.cpu_count() or 1)],
                   check=True, stdout=subprocess.DEVNULL)

    with open(args.exe, "rb") as f:
        expected = f.read()
    with open(os.path.join(build, "bin", "OrvekUpdater.exe"), "rb") as f:
        got = f.read()
    if expected != got:
        print("FAIL: the exe built in %s differs from %s: %s; the second build is kept for a look"
              % (build, args.exe, describe_difference(expected, got)))
        return 1
    print("the exe built in %s is byte for byte %s (%d bytes)" % (build, args.exe, len(got)))
    shutil.rmtree(work)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
