#!/usr/bin/env bash
# The updater's demo. Builds everything, serves a sample firmware image from
# the update-service stand-in, plugs one simulated Orvek in D/L mode and runs
# OrvekUpdater.exe under Wine. On the user's display the user clicks
# "Update Orvek Now!" and watches both bars; with no display it runs under
# Xvfb, clicks for the user and saves a picture of each state. Afterwards it
# says whether the device received the right bytes. Everything it started is
# stopped again, also on Ctrl-C.
#   tools/demo.sh            BUILD_DIR (default build/, build-x64/ for x64), ORVEK_ARCH and ORVEK_DEMO_DIR
#                            (default BUILD_DIR/demo) may be set
set -euo pipefail
ROOT=$(cd "$(dirname "$0")/.." && pwd)
. "$ROOT/tools/arch.sh"
orvek_pick_arch
echo "demo: $ORVEK_ARCH_NOTE"
orvek_build_dir "$ROOT/build"
DEMO_DIR="${ORVEK_DEMO_DIR:-$BUILD_DIR/demo}"

"$ROOT/tools/setup.sh"
cmake -S "$ROOT" -B "$BUILD_DIR" -DCMAKE_TOOLCHAIN_FILE="$ROOT/cmake/$ORVEK_TOOLCHAIN" \
      -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$BUILD_DIR" -j "$(nproc)"

BIN="$BUILD_DIR/bin"
SERVICE="$ROOT/tests/standins/updateservice/updateservice.py"
SERVICE_DIR="$DEMO_DIR/service"
DEVICE_DIR="$DEMO_DIR/device"
DEVICE=orvek
IMAGE="$DEMO_DIR/firmware.bin"
SHOTS_DIR="$DEMO_DIR/screenshots"

rm -rf "$SERVICE_DIR" "$DEVICE_DIR" "$SHOTS_DIR"
mkdir -p "$DEMO_DIR"
python3 "$ROOT/tools/sample_firmware.py" make "$IMAGE"
# Paced like a modest connection, so that the bars can be watched: a second
# before the answer, then 64 KiB every tenth of a second.
cat >"$DEMO_DIR/scenario.json" <<EOF
{"body": {"file": "$IMAGE"}, "delay": 1.0, "chunk_size": 65536, "chunk_delay": 0.1}
EOF

. "$ROOT/tools/wine-session.sh"
simulator_pid=
updater_pid=
# Runs a command in the background and waits for it, so that Ctrl-C reaches
# the trap at once (Wine programs end on SIGINT without dying of it, and bash
# would then carry on after a foreground one).
run() {
  "$@" &
  wait $!
}
stop_all() {
  set +e
  if [ -n "$updater_pid" ]; then
    kill "$updater_pid" 2>/dev/null
    wait "$updater_pid" 2>/dev/null
  fi
  if [ -n "$simulator_pid" ] && kill -0 "$simulator_pid" 2>/dev/null; then
    wine "$BIN/DeviceSimulator.exe" --dir "$DEVICE_DIR" --send quit >/dev/null 2>&1 || kill "$simulator_pid" 2>/dev/null
    wait "$simulator_pid" 2>/dev/null
  fi
  python3 "$SERVICE" stop --state-dir "$SERVICE_DIR" >/dev/null 2>&1
  orvek_session_stop
}
trap stop_all EXIT
trap 'echo "demo: interrupted; stopping"; exit 130' INT TERM

orvek_wine_init
headless=
if [ -z "${DISPLAY:-}" ]; then
  headless=1
  orvek_start_xvfb
  echo "demo: no display; running under Xvfb on $DISPLAY and clicking for you"
else
  orvek_wine_managed Y
  # Wine's session services start with the first program on this display;
  # started here they hold no output of ours open.
  run wine cmd /c exit >/dev/null 2>&1 || true
fi

run python3 "$SERVICE" start --state-dir "$SERVICE_DIR" --port 0 --scenario-file "$DEMO_DIR/scenario.json"
port=$(cat "$SERVICE_DIR/port")

wine "$BIN/DeviceSimulator.exe" --dir "$DEVICE_DIR" --plug "$DEVICE" >"$DEMO_DIR/simulator.out" 2>&1 &
simulator_pid=$!
run wine "$BIN/DeviceSimulator.exe" --dir "$DEVICE_DIR" --send ping >/dev/null
echo "demo: one Orvek in D/L mode plugged in (device simulator, state in $DEVICE_DIR)"

http_proxy="http://127.0.0.1:$port" WINEDLLOVERRIDES=setupapi=n ORVEK_DEVSIM_DIR="$DEVICE_DIR" \
  wine "$BIN/OrvekUpdater.exe" &
updater_pid=$!

driver_status=0
if [ -n "$headless" ]; then
  mkdir -p "$SHOTS_DIR"
  run wine "$BIN/DemoDriver.exe" "Z:${SHOTS_DIR//\//\\}" || driver_status=$?
  for shot in "$SHOTS_DIR"/*.bmp; do
    [ -e "$shot" ] || continue
    convert "$shot" "${shot%.bmp}.png" && rm -f "$shot"
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
