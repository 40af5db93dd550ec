#!/usr/bin/env bash
# Pictures of the updater window without and with a device, for the README:
# the real program under Xvfb over the device stand-in, each cropped to the
# window, as screenshot-disconnected.png and screenshot-connected.png; at a
# display DPI other than 96, as screenshot-disconnected-<percent>.png and so on.
# Usage: BUILD_DIR=<build> tests/ui/take-screenshots.sh [<folder> [<dpi>]]
# (default <build>/screenshots at 96 dpi; docs/ holds the README's copies)
set -euo pipefail
ROOT=$(cd "$(dirname "$0")/../.." && pwd)
export BUILD_DIR="${BUILD_DIR:-$ROOT/build}"
OUT=$(realpath -m "${1:-$BUILD_DIR/screenshots}")
DPI=${2:-96}
SUFFIX=
[ "$DPI" = 96 ] || SUFFIX="-$((DPI * 100 / 96))"
BIN="$BUILD_DIR/bin"
SIM=$(mktemp -d)
updater_pid=

. "$ROOT/tools/wine-session.sh"
finish() {
  [ -n "$updater_pid" ] && kill "$updater_pid" 2>/dev/null || true
  wine "$BIN/DeviceSimulator.exe" --dir "$SIM" --send quit >/dev/null 2>&1 || true
  "$ROOT/tools/log-pixels.sh" restore || true
  orvek_session_stop
  rm -rf "$SIM"
}
trap finish EXIT
orvek_wine_init
orvek_start_xvfb
[ "$DPI" = 96 ] || "$ROOT/tools/log-pixels.sh" set "$DPI"

wine "$BIN/DeviceSimulator.exe" --dir "$SIM" >/dev/null 2>&1 &
wine "$BIN/DeviceSimulator.exe" --dir "$SIM" --send ping >/dev/null
WINEDLLOVERRIDES=setupapi=n ORVEK_DEVSIM_DIR="$SIM" wine "$BIN/OrvekUpdater.exe" >/dev/null 2>&1 &
updater_pid=$!
window=$(xdotool search --sync --name '^Orvek Updater$' | head -1)

# Wine draws the frame itself, so the X window is the whole dialog.
shoot() {
  local X Y WIDTH HEIGHT SCREEN WINDOW
  eval "$(xdotool getwindowgeometry --shell "$window")"
  import -window root -crop "${WIDTH}x${HEIGHT}+${X}+${Y}" +repage "$OUT/screenshot-$1$SUFFIX.png"
  echo "$OUT/screenshot-$1$SUFFIX.png"
}

mkdir -p "$OUT"
sleep 2
shoot disconnected
wine "$BIN/DeviceSimulator.exe" --dir "$SIM" --send plug dev1 >/dev/null
# The poll notices within a second.
sleep 2.5
shoot connected
