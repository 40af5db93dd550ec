#!/usr/bin/env bash
# Builds the updater and runs it under Wine: on the user's display if there is
# one, else under Xvfb with a screenshot saved.
set -euo pipefail
ROOT=$(cd "$(dirname "$0")/.." && pwd)
export BUILD_DIR="${BUILD_DIR:-$ROOT/build}"

"$ROOT/tools/setup.sh"
cmake -S "$ROOT" -B "$BUILD_DIR" -DCMAKE_TOOLCHAIN_FILE="$ROOT/cmake/mingw32.cmake" \
      -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$BUILD_DIR" -j "$(nproc)" --target OrvekUpdater

. "$ROOT/tools/wine-session.sh"
trap orvek_session_stop EXIT
orvek_wine_init
if [ -z "${DISPLAY:-}" ]; then
  orvek_start_xvfb
  wine "$BUILD_DIR/bin/OrvekUpdater.exe" &
  pid=$!
  sleep 3
  mkdir -p "$BUILD_DIR/demo"
  import -window root "$BUILD_DIR/demo/window.png"
  echo "demo: screenshot saved to $BUILD_DIR/demo/window.png"
  kill "$pid" 2>/dev/null || true
else
  wine "$BUILD_DIR/bin/OrvekUpdater.exe"
fi
