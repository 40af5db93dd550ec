#!/usr/bin/env bash
# Builds the updater and every test program, and runs all tests under Wine
# with an Xvfb display of their own. ctest's summary is the last output.
set -euo pipefail
ROOT=$(cd "$(dirname "$0")/.." && pwd)
. "$ROOT/tools/arch.sh"
orvek_pick_arch
echo "test: $ORVEK_ARCH_NOTE"
orvek_build_dir "$ROOT/build"

"$ROOT/tools/setup.sh"
cmake -S "$ROOT" -B "$BUILD_DIR" -DCMAKE_TOOLCHAIN_FILE="$ROOT/cmake/$ORVEK_TOOLCHAIN" \
      -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$BUILD_DIR" -j "$(nproc)"

. "$ROOT/tools/wine-session.sh"
trap orvek_session_stop EXIT
trap 'exit 130' INT TERM
orvek_wine_init
orvek_start_xvfb
orvek_start_second_session

set +e
# Three slots: each Wine session's tests one at a time (each holds its
# session's lock), the host's own tests beside them.
ctest --test-dir "$BUILD_DIR" --output-on-failure --timeout 300 -j 3 "$@"
status=$?
set -e
echo "test: $ORVEK_ARCH_NOTE"
orvek_session_stop
exit $status
