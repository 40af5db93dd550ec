#!/usr/bin/env bash
# Makes a release: builds OrvekUpdater.exe in Release from a clean build
# folder and writes to dist/ the zip a user downloads (the exe and its
# README.txt), the exe alone, and SHA256SUMS over both. With a code-signing
# certificate it signs the exe first. The unsigned release of one commit has
# the same bytes wherever and whenever it is made.
#   tools/release.sh [--pfx FILE] [--password-file FILE] [--timestamp-url URL]
#     or ORVEK_SIGN_PFX, ORVEK_SIGN_PASSWORD, ORVEK_SIGN_TIMESTAMP_URL;
#     a time-stamp server is asked only when one is named.
#   RELEASE_BUILD_DIR (default build-release/) and DIST_DIR (default dist/) may be set.
set -euo pipefail
ROOT=$(cd "$(dirname "$0")/.." && pwd)
RELEASE_BUILD_DIR="${RELEASE_BUILD_DIR:-$ROOT/build-release}"
DIST_DIR="${DIST_DIR:-$ROOT/dist}"

"$ROOT/tools/setup.sh" release

if [ -n "$(git -C "$ROOT" status --porcelain --untracked-files=no 2>/dev/null)" ]; then
  echo "release: warning: uncommitted changes; this release is not the commit's"
fi

rm -rf "$RELEASE_BUILD_DIR"
cmake -S "$ROOT" -B "$RELEASE_BUILD_DIR" -DCMAKE_TOOLCHAIN_FILE="$ROOT/cmake/mingw32.cmake" \
      -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF >/dev/null
cmake --build "$RELEASE_BUILD_DIR" -j "$(nproc)" --target OrvekUpdater

rm -rf "$DIST_DIR"
python3 "$ROOT/tools/package_release.py" --exe "$RELEASE_BUILD_DIR/bin/OrvekUpdater.exe" \
        --out "$DIST_DIR" "$@"
(cd "$DIST_DIR" && sha256sum -c SHA256SUMS) | sed 's/^/release: /'
