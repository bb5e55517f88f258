#!/usr/bin/env bash
# Configures and builds into build/ (or the folder given as BUILD_DIR): every
# target, or those named in BUILD_TARGETS.
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD_DIR=${BUILD_DIR:-build}
# ccache, where installed, lets worktrees of one machine share compiled objects.
launcher=()
if command -v ccache >/dev/null; then
  export CCACHE_BASEDIR=${CCACHE_BASEDIR:-$(dirname "$PWD")}
  launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache)
fi
cmake -S . -B "$BUILD_DIR" -G Ninja -DCMAKE_BUILD_TYPE=${BUILD_TYPE:-RelWithDebInfo} "${launcher[@]}" "$@" >/dev/null
targets=()
for t in ${BUILD_TARGETS:-}; do
  targets+=(--target "$t")
done
cmake --build "$BUILD_DIR" -j "$(nproc)" "${targets[@]}"
