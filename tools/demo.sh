#!/usr/bin/env bash
# The updater's demo. Builds everything, serves a sample firmware image from
# the update-service stand-in, plugs one simulated Orvek in D/L mode and runs
# OrvekUpdater.exe under Wine. On the user's display the user clicks
# "Update Orvek Now!" and watches both bars; with no display it runs under
# Xvfb, plugs the Orvek in and clicks for the user, and saves a picture of
# each state the README shows. Afterwards it says whether the device received
# the right bytes. Everything it started is stopped again, also on Ctrl-C.
#   tools/demo.sh [--shots FOLDER] [--scale PERCENT] [--lang LOCALE]
#     --shots FOLDER    runs under Xvfb even on a display and saves the
#                       pictures in FOLDER (default DEMO_DIR/screenshots);
#                       `--shots docs` makes the README's
#     --scale PERCENT   display scale (default 100): the prefix's DPI for this
#                       run; the pictures' names end in -PERCENT
#     --lang LOCALE     Windows' display language for the updater, as a Linux
#                       locale: de_DE, fr_FR, es_ES, pt_BR, ja_JP, zh_CN,
#                       ar_EG...; the pictures' names end in -LOCALE
# BUILD_DIR (default build/, build-x64/ for x64), ORVEK_ARCH and ORVEK_DEMO_DIR
# (DEMO_DIR, default BUILD_DIR/demo) may be set.
set -euo pipefail
. "$(dirname "$0")/preamble.sh"
shots_dir=
scale=100
lang=
while [ $# -gt 0 ]; do
  case "$1" in
    --shots) shots_dir=$(realpath -m "${2:?--shots needs a folder}"); shift 2 ;;
    --scale) scale=${2:?--scale needs a percentage}; shift 2 ;;
    --lang) lang=${2:?--lang needs a locale, such as de_DE or ar_EG}; shift 2 ;;
    *) echo "usage: tools/demo.sh [--shots FOLDER] [--scale PERCENT] [--lang LOCALE]" >&2; exit 2 ;;
  esac
done
if ! [[ "$scale" =~ ^[1-9][0-9]*$ ]]; then
  echo "demo: --scale takes a whole percentage, such as 150" >&2
  exit 2
fi
orvek_prepare demo "$ROOT/build"
DEMO_DIR="${ORVEK_DEMO_DIR:-$BUILD_DIR/demo}"

BIN="$BUILD_DIR/bin"
SERVICE="$ROOT/tests/standins/updateservice/updateservice.py"
SERVICE_DIR="$DEMO_DIR/service"
DEVICE_DIR="$DEMO_DIR/device"
DEVICE=orvek
IMAGE="$DEMO_DIR/firmware.bin"
SHOTS_DIR="${shots_dir:-$DEMO_DIR/screenshots}"
SUFFIX=
[ "$scale" = 100 ] || SUFFIX="-$scale"
[ -z "$lang" ] || SUFFIX="$SUFFIX-${lang%%.*}"
# Wine takes the display language from LC_ALL, whether or not Linux has
# that locale installed.
updater_env=()
[ -z "$lang" ] || updater_env=(LC_ALL="${lang%%.*}.UTF-8")

rm -rf "$SERVICE_DIR" "$DEVICE_DIR"
[ -n "$shots_dir" ] || rm -rf "$SHOTS_DIR"
mkdir -p "$DEMO_DIR"
python3 "$ROOT/tools/sample_firmware.py" make "$IMAGE"
# Paced like a modest connection, so that the bars can be watched: a second
# before the answer, then 64 KiB every tenth of a second.
cat >"$DEMO_DIR/scenario.json" <<EOF
{"body": {"file": "$IMAGE"}, "delay": 1.0, "chunk_size": 65536, "chunk_delay": 0.1}
EOF

simulator_pid=
updater_pid=
# Runs a command in the background and waits for it, so that Ctrl-C reaches
# the trap at once (Wine programs end on SIGINT without dying of it, and bash
# would then carry on after a foreground one).
run() {
  "$@" &
  wait $!
}
stop_demo() {
  if [ -n "$updater_pid" ]; then
    kill "$updater_pid" 2>/dev/null
    wait "$updater_pid" 2>/dev/null
  fi
  if [ -n "$simulator_pid" ] && kill -0 "$simulator_pid" 2>/dev/null; then
    wine "$BIN/DeviceSimulator.exe" --dir "$DEVICE_DIR" --send quit >/dev/null 2>&1 || kill "$simulator_pid" 2>/dev/null
    wait "$simulator_pid" 2>/dev/null
  fi
  python3 "$SERVICE" stop --state-dir "$SERVICE_DIR" >/dev/null 2>&1
  "$ROOT/tools/log-pixels.sh" restore
}
ORVEK_ON_EXIT=stop_demo

headless=
if [ -z "${DISPLAY:-}" ] || [ -n "$shots_dir" ]; then
  headless=1
  orvek_start_xvfb
  echo "demo: running under Xvfb on $DISPLAY and clicking for you"
else
  orvek_wine_managed Y
  # Wine's session services start with the first program on this display;
  # started here they hold no output of ours open.
  run wine cmd /c exit >/dev/null 2>&1 || true
fi

[ "$scale" = 100 ] || "$ROOT/tools/log-pixels.sh" set "$((scale * 96 / 100))"

run python3 "$SERVICE" start --state-dir "$SERVICE_DIR" --port 0 --scenario-file "$DEMO_DIR/scenario.json"
port=$(cat "$SERVICE_DIR/port")

# Unattended, the Orvek comes in once the window has been pictured without it.
plug=(--plug "$DEVICE")
[ -z "$headless" ] || plug=()
wine "$BIN/DeviceSimulator.exe" --dir "$DEVICE_DIR" "${plug[@]}" >"$DEMO_DIR/simulator.out" 2>&1 &
simulator_pid=$!
run wine "$BIN/DeviceSimulator.exe" --dir "$DEVICE_DIR" --send ping >/dev/null
[ -n "$headless" ] || echo "demo: one Orvek in D/L mode plugged in (device simulator, state in $DEVICE_DIR)"

env "${updater_env[@]}" http_proxy="http://127.0.0.1:$port" WINEDLLOVERRIDES=setupapi=n \
  ORVEK_DEVSIM_DIR="$DEVICE_DIR" wine "$BIN/OrvekUpdater.exe" &
updater_pid=$!

driver_status=0
if [ -n "$headless" ]; then
  mkdir -p "$SHOTS_DIR"
  run wine "$BIN/DemoDriver.exe" "Z:${SHOTS_DIR//\//\\}" "$DEVICE_DIR" "$DEVICE" || driver_status=$?
  for shot in "$SHOTS_DIR"/*.bmp; do
    [ -e "$shot" ] || continue
    convert "$shot" "${shot%.bmp}$SUFFIX.png" && rm -f "$shot"
  done
  echo "demo: pictures of each state in $SHOTS_DIR"
  if [ "$driver_status" -ne 0 ]; then
    kill "$updater_pid" 2>/dev/null || true
  fi
else
  echo "demo: in the \"Orvek Updater\" window, click \"Update Orvek Now!\", then \"Done!\" once it says \"Orvek successfully updated!\""
fi
wait "$updater_pid" || true
updater_pid=

run wine "$BIN/DeviceSimulator.exe" --dir "$DEVICE_DIR" --send wait-idle "$DEVICE" 10000 >/dev/null || true
check_status=0
python3 "$ROOT/tools/sample_firmware.py" check "$IMAGE" "$DEVICE_DIR/$DEVICE.PIPE00.bin" \
  | sed 's/^/demo: /' || check_status=1
if [ "$driver_status" -ne 0 ]; then
  exit "$driver_status"
fi
exit "$check_status"
