#!/usr/bin/env bash
# Sets everything up, builds and starts the tool. With no serial adapter on
# the machine it starts on the built-in simulated bus (--demo); arguments are
# passed to the program and replace that choice.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
scripts/build.sh
args=("$@")
if [ ${#args[@]} -eq 0 ] && ! ls /dev/ttyUSB* /dev/ttyACM* >/dev/null 2>&1; then
  args=(--demo)
fi
exec "${BUILD_DIR:-build}/apps/zor-tool/zor-tool" "${args[@]}"
