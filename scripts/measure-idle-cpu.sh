#!/usr/bin/env bash
# Measures the tool's processor use while it reads a demo detector
# automatically (default 60 s of wall time; pass another number of seconds).
# With a second argument, --tcp or --modbus-tcp, the detector is read over
# TCP from zor-sim serving the demo bus as a serial device server or a
# Modbus TCP gateway on the loopback.
# Runs in a real X server under xvfb-run where available, else offscreen.
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD_DIR=${BUILD_DIR:-build}
export BUILD_DIR
scripts/build.sh
seconds=${1:-60}
port=()
if [[ $# -ge 2 ]]; then
  coproc SIM { exec "$BUILD_DIR"/apps/zor-sim/zor-sim "$2" 0; }
  trap 'kill "$SIM_PID" 2>/dev/null || true' EXIT
  read -r name <&"${SIM[0]}"
  port=("$name")
fi
if command -v xvfb-run >/dev/null; then
  xvfb-run -a "$BUILD_DIR"/bench/measure_idle_cpu_qt "$seconds" "${port[@]}"
else
  QT_QPA_PLATFORM=offscreen "$BUILD_DIR"/bench/measure_idle_cpu_qt "$seconds" "${port[@]}"
fi
