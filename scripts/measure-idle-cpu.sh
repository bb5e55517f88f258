#!/usr/bin/env bash
# Measures the tool's processor use while it reads a demo detector
# automatically (default 60 s of wall time; pass another number of seconds).
# Runs in a real X server under xvfb-run where available, else offscreen.
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD_DIR=${BUILD_DIR:-build}
export BUILD_DIR
scripts/build.sh
seconds=${1:-60}
if command -v xvfb-run >/dev/null; then
  exec xvfb-run -a "$BUILD_DIR"/bench/measure_idle_cpu_qt "$seconds"
fi
QT_QPA_PLATFORM=offscreen exec "$BUILD_DIR"/bench/measure_idle_cpu_qt "$seconds"
