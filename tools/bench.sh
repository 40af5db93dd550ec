#!/usr/bin/env bash
# Builds the benchmark programs and runs every benchmark side by side under
# Wine with an Xvfb display of its own; prints the table of medians and
# ratios and writes it to bench/results/. Arguments go to bench/harness.py
# (--rounds N, --idle-seconds S, --only download,transfer,..., --label L, --help).
# BENCH_CXX_FLAGS, if set, becomes the build's CMAKE_CXX_FLAGS, to compare a
# compiler setting in a build folder of its own (BUILD_DIR).
set -euo pipefail
ROOT=$(cd "$(dirname "$0")/.." && pwd)
. "$ROOT/tools/arch.sh"
orvek_pick_arch
echo "bench: $ORVEK_ARCH_NOTE"
orvek_build_dir "$ROOT/build-bench"

"$ROOT/tools/setup.sh"
flags=()
if [ -n "${BENCH_CXX_FLAGS+set}" ]; then
  flags+=("-DCMAKE_CXX_FLAGS=$BENCH_CXX_FLAGS")
fi
cmake -S "$ROOT" -B "$BUILD_DIR" -DCMAKE_TOOLCHAIN_FILE="$ROOT/cmake/$ORVEK_TOOLCHAIN" \
      -DCMAKE_BUILD_TYPE=Release -DORVEK_BUILD_BENCH=ON "${flags[@]}" >/dev/null
cmake --build "$BUILD_DIR" -j "$(nproc)" --target DownloadBench TransferBench ProbeBench ProgressBench UpdaterBench

. "$ROOT/tools/wine-session.sh"
trap orvek_session_stop EXIT
trap 'exit 130' INT TERM
orvek_wine_init
orvek_start_xvfb

set +e
PYTHONDONTWRITEBYTECODE=1 python3 "$ROOT/bench/harness.py" --bin "$BUILD_DIR/bin" "$@"
status=$?
set -e
orvek_session_stop
exit $status
