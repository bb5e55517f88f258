#!/usr/bin/env bash
# Sets everything up, builds and runs every test: the unit, integration and
# offscreen window tests and the checks of layers and formatting; the
# Debian package, unpacked and run, and lintian over it; the Windows serial
# backend and port catalogue, cross-built and run under Wine (against
# zor-sim on a mapped port); the Qt-free tests once more under
# AddressSanitizer and UndefinedBehaviorSanitizer; and each fuzz target for a
# bounded time. Exits non-zero when anything fails.
#
# The builds go to build/ (which the package is made of), build-win/,
# build-asan/ and build-fuzz/ and reuse what an earlier run left there; with
# --fresh (what CI runs) the four folders are removed first and everything
# is built from scratch.
set -euo pipefail
cd "$(dirname "$0")/.."
if [ "${1:-}" = "--fresh" ]; then
  rm -rf build build-win build-asan build-fuzz
elif [ $# -gt 0 ]; then
  echo "usage: $0 [--fresh]" >&2
  exit 2
fi
scripts/setup.sh

export QT_QPA_PLATFORM=offscreen
jobs=$(nproc)

echo "== build and test"
BUILD_DIR=build scripts/build.sh -DZOR_WERROR=ON
ctest --test-dir build --output-on-failure -j "$jobs" --timeout 300

echo "== Debian package"
BUILD_DIR=build scripts/check-package.sh

echo "== windows (mingw-w64, wine)"
scripts/test-windows.sh

echo "== sanitizers"
BUILD_DIR=build-asan BUILD_TYPE=Debug scripts/build.sh -DZOR_SANITIZE=ON -DZOR_BUILD_UI=OFF -DZOR_BENCH=OFF
ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
  ctest --test-dir build-asan --output-on-failure -j "$jobs" --timeout 300 -LE integration

echo "== fuzz"
BUILD_DIR=build-fuzz BUILD_TYPE=RelWithDebInfo CC=clang CXX=clang++ scripts/build.sh \
  -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ -DZOR_FUZZ=ON -DZOR_BUILD_UI=OFF -DZOR_BENCH=OFF -DZOR_TESTS=OFF \
  -DCMAKE_CXX_FLAGS="-fsanitize=fuzzer-no-link,address,undefined"
fuzz_seconds=${FUZZ_SECONDS:-15}
for target in build-fuzz/fuzz/fuzz_*; do
  [ -x "$target" ] || continue
  echo "-- $(basename "$target") for ${fuzz_seconds}s"
  corpus=$(mktemp -d)
  "$target" -max_total_time="$fuzz_seconds" -max_len=512 -timeout=10 "$corpus" 2>&1 | tail -n 3
  rm -rf "$corpus"
done
echo "All tests passed."
