# Sourced first by tools/test.sh, tools/demo.sh and tools/bench.sh: sets ROOT
# and offers orvek_prepare, which picks the build this machine runs
# (tools/arch.sh), installs what is missing, configures and builds, and opens
# the build's Wine session (tools/wine-session.sh), stopped again on exit and
# on Ctrl-C, after the function named in ORVEK_ON_EXIT, if any.
ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
. "$ROOT/tools/arch.sh"
ORVEK_ON_EXIT=

orvek_finish() {
  set +e
  [ -z "$ORVEK_ON_EXIT" ] || "$ORVEK_ON_EXIT"
  orvek_session_stop
}

#   orvek_prepare NAME DEFAULT_BUILD_DIR [CMAKE_ARG...] [-- TARGET...]
# NAME opens the first line, which says which build runs and why; BUILD_DIR,
# unless set, is DEFAULT_BUILD_DIR (with -x64 for the x64 build); without
# TARGETs everything is built.
orvek_prepare() {
  local name=$1 default_dir=$2 configure=() targets=()
  shift 2
  while [ $# -gt 0 ] && [ "$1" != -- ]; do
    configure+=("$1")
    shift
  done
  [ $# -eq 0 ] || { shift; targets=(--target "$@"); }

  orvek_pick_arch
  echo "$name: $ORVEK_ARCH_NOTE"
  orvek_build_dir "$default_dir"
  "$ROOT/tools/setup.sh"
  cmake -S "$ROOT" -B "$BUILD_DIR" -DCMAKE_TOOLCHAIN_FILE="$ROOT/cmake/$ORVEK_TOOLCHAIN" \
        -DCMAKE_BUILD_TYPE=Release "${configure[@]}" >/dev/null
  cmake --build "$BUILD_DIR" -j "$(nproc)" "${targets[@]}"

  . "$ROOT/tools/wine-session.sh"
  trap orvek_finish EXIT
  trap "echo \"$name: interrupted; stopping\"; exit 130" INT TERM
  orvek_wine_init
}
