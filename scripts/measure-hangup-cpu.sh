#!/usr/bin/env bash
# Measures the tool's processor use for SECONDS (default 10) after its port
# hung up, next to the same span on a healthy port: the real windows read a
# demo detector over a pseudo-terminal, whose far end then closes as when a
# USB adapter is pulled out. Runs in a real X server under xvfb-run where
# available, else offscreen, with a configuration directory of its own.
# Fails when the tool takes 1% of one core or more after the hang-up.
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD_DIR=${BUILD_DIR:-build} scripts/build.sh
seconds=${1:-10}
export XDG_CONFIG_HOME
XDG_CONFIG_HOME="$(mktemp -d)"
trap 'rm -rf "$XDG_CONFIG_HOME"' EXIT
if command -v xvfb-run >/dev/null; then
  xvfb-run -a "${BUILD_DIR:-build}/bench/measure_hangup_cpu_qt" "$seconds"
else
  QT_QPA_PLATFORM=offscreen "${BUILD_DIR:-build}/bench/measure_hangup_cpu_qt" "$seconds"
fi
