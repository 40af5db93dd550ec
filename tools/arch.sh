# Sourced by the scripts that build and run the program: picks the build this
# machine can run. The release is a 32-bit exe; on a machine that runs no
# 32-bit code at all (no IA-32 emulation: every i386 program fails with
# "Exec format error"), no Wine can start one, so the same sources are built
# as x64 and run under 64-bit Wine instead.
#   ORVEK_ARCH=x86|x64 forces a choice.
# Sets ORVEK_ARCH, ORVEK_ARCH_NOTE (one line: which build and why) and
# ORVEK_TOOLCHAIN.

# Runs a 90-byte i386 program that only exits: the kernel either starts it
# or refuses it, whatever i386 libraries are installed.
orvek_runs_32bit() {
  local probe
  probe=$(mktemp)
  python3 - "$probe" <<'EOF'
import struct, sys
code = bytes.fromhex("b801000000" "31db" "cd80")  # exit(0) through int 0x80
base, ehsize, phsize = 0x08048000, 52, 32
size = ehsize + phsize + len(code)
ehdr = b"\x7fELF\x01\x01\x01" + bytes(9) + struct.pack(
    "<HHIIIIIHHHHHH", 2, 3, 1, base + ehsize + phsize, ehsize, 0, 0, ehsize, phsize, 1, 0, 0, 0)
phdr = struct.pack("<IIIIIIII", 1, 0, base, base, size, size, 5, 0x1000)
with open(sys.argv[1], "wb") as f:
    f.write(ehdr + phdr + code)
EOF
  chmod +x "$probe"
  local status=0
  "$probe" 2>/dev/null || status=$?
  rm -f "$probe"
  return $status
}

orvek_pick_arch() {
  local runs32=1
  if ! command -v python3 >/dev/null; then
    apt-get update >/dev/null || true
    DEBIAN_FRONTEND=noninteractive apt-get install -y python3 >/dev/null
  fi
  orvek_runs_32bit || runs32=0
  case "${ORVEK_ARCH:-}" in
    "")
      if [ $runs32 = 1 ]; then
        ORVEK_ARCH=x86
        ORVEK_ARCH_NOTE="this machine runs 32-bit code: the x86 build, as released"
      else
        ORVEK_ARCH=x64
        ORVEK_ARCH_NOTE="this machine runs no 32-bit code: the x64 build of the same sources"
      fi
      ;;
    x86)
      if [ $runs32 = 0 ]; then
        echo "ORVEK_ARCH=x86, but this machine runs no 32-bit code (an i386 program fails with \"Exec format error\"), so no Wine can start a 32-bit exe here; use ORVEK_ARCH=x64 or leave it unset" >&2
        return 1
      fi
      ORVEK_ARCH_NOTE="ORVEK_ARCH=x86: the x86 build, as released"
      ;;
    x64)
      ORVEK_ARCH_NOTE="ORVEK_ARCH=x64: the x64 build of the same sources, under 64-bit Wine"
      ;;
    *)
      echo "ORVEK_ARCH must be x86 or x64, not \"$ORVEK_ARCH\"" >&2
      return 1
      ;;
  esac
  if [ "$ORVEK_ARCH" = x64 ]; then
    ORVEK_TOOLCHAIN=mingw64.cmake
  else
    ORVEK_TOOLCHAIN=mingw32.cmake
  fi
  export ORVEK_ARCH ORVEK_ARCH_NOTE ORVEK_TOOLCHAIN
}

# BUILD_DIR, unless set: the given folder for x86, the same name with -x64
# for x64, so that the two builds never share a cache or a Wine prefix.
orvek_build_dir() {
  if [ -z "${BUILD_DIR:-}" ]; then
    BUILD_DIR=$1
    if [ "$ORVEK_ARCH" = x64 ]; then BUILD_DIR="$1-x64"; fi
  fi
  # The Wine prefix lives in it, and Wine takes no relative prefix.
  BUILD_DIR=$(realpath -m "$BUILD_DIR")
  export BUILD_DIR
}
