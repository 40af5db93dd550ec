#!/usr/bin/env bash
# Builds the updater and every test program, and runs all tests under Wine
# with an Xvfb display of their own. ctest's summary is the last output.
set -euo pipefail
. "$(dirname "$0")/preamble.sh"
orvek_prepare test "$ROOT/build"
orvek_start_xvfb
orvek_start_second_session

set +e
# Three slots: each Wine session's tests one at a time (each holds its
# session's lock), the host's own tests beside them.
ctest --test-dir "$BUILD_DIR" --output-on-failure --timeout 300 -j 3 "$@"
status=$?
set -e
echo "test: $ORVEK_ARCH_NOTE"
exit $status
