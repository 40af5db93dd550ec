#!/usr/bin/env bash
# Builds the benchmark programs and runs every benchmark side by side under
# Wine with an Xvfb display of its own; prints the table of medians and
# ratios and writes it to bench/results/. Arguments go to bench/harness.py
# (--rounds N, --idle-seconds S, --only download,transfer,..., --label L, --help).
# BENCH_CXX_FLAGS, if set, becomes the build's CMAKE_CXX_FLAGS, to compare a
# compiler setting in a build folder of its own (BUILD_DIR).
set -euo pipefail
. "$(dirname "$0")/preamble.sh"
flags=()
if [ -n "${BENCH_CXX_FLAGS+set}" ]; then
  flags+=("-DCMAKE_CXX_FLAGS=$BENCH_CXX_FLAGS")
fi
orvek_prepare bench "$ROOT/build-bench" -DORVEK_BUILD_BENCH=ON "${flags[@]}" \
  -- DownloadBench TransferBench ProbeBench ProgressBench UpdaterBench
orvek_start_xvfb

set +e
PYTHONDONTWRITEBYTECODE=1 python3 "$ROOT/bench/harness.py" --bin "$BUILD_DIR/bin" "$@"
status=$?
set -e
exit $status
