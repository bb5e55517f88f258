#!/usr/bin/env bash
# Measures a fast search (1..247 at 19200 baud, 50 ms a probe) over a
# pseudo-terminal served by zor-sim with four detectors: wall time next to
# the standard search's 272.8 s, and processor use during the search and for
# SECONDS (default 10) after it. Runs offscreen with a configuration
# directory of its own. Fails when the search takes more than 15 s or does
# not find each detector once.
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD_DIR=${BUILD_DIR:-build}
BUILD_DIR=$BUILD_DIR scripts/build.sh
export XDG_CONFIG_HOME
XDG_CONFIG_HOME="$(mktemp -d)"
trap 'rm -rf "$XDG_CONFIG_HOME"' EXIT
QT_QPA_PLATFORM=offscreen "$BUILD_DIR/bench/measure_fast_search_qt" "$BUILD_DIR/apps/zor-sim/zor-sim" "${1:-10}"
