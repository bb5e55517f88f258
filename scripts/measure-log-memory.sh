#!/usr/bin/env bash
# Measures the tool's memory with a long exchange log: 1,000 lines, then
# 1,000,000 (about 26 hours of automatic reading). Fails when the resident
# set, now or at its peak, is over 100 MB.
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD_DIR=${BUILD_DIR:-build} scripts/build.sh
for lines in 1000 1000000; do
  QT_QPA_PLATFORM=offscreen "${BUILD_DIR:-build}/bench/measure_log_memory_qt" "$lines" 100
done
