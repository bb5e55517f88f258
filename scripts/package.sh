#!/usr/bin/env bash
# Builds the Debian package of zor-tool and zor-sim and prints its path: in
# build-pkg/ (programs only), or in the build folder given as BUILD_DIR,
# whose other settings stay as they are (the test script packages what it
# has just built and tested).
set -euo pipefail
cd "$(dirname "$0")/.."
options=(-DZOR_PACKAGE=ON -DCMAKE_INSTALL_PREFIX=/usr)
if [ -z "${BUILD_DIR:-}" ]; then
  BUILD_DIR=build-pkg
  options+=(-DZOR_TESTS=OFF -DZOR_BENCH=OFF)
fi
BUILD_DIR="$BUILD_DIR" scripts/build.sh "${options[@]}" >/dev/null
(cd "$BUILD_DIR" && cpack -G DEB >cpack.log 2>&1) || { cat "$BUILD_DIR/cpack.log" >&2; exit 1; }
ls "$BUILD_DIR"/zor-tool_*.deb
