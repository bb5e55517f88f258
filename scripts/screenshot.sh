#!/usr/bin/env bash
# Photographs every window of the tool on the demonstration bus (the same
# program that "zor-tool --demo" runs), under a virtual X display:
#
#   scripts/screenshot.sh [OUTPUT_DIR] [BUILD_DIR]
#   ZOR_SCREEN=1366x768 scripts/screenshot.sh ...   (default 1280x1024)
#
# The walk is the ScreenTour test of the window tests; it stops at the main
# window (empty, reading a ZOR-10 and a ZOR-11), a message box, the help
# window, the concentration dialog, the port settings dialog, the tree's
# popup, the LoRa window, the search options, the network port, a port
# pulled out while reading and the trend of half a minute's reading (also with the window as large as the screen), and takes
# "import -window root" shots. Needs
# xvfb-run and ImageMagick. The pictures are for looking at, not for the
# repository.
set -euo pipefail

here="$(cd "$(dirname "$0")/.." && pwd)"
out="$(realpath -m "${1:-$here/build-ui/screenshots}")"
build="${2:-$here/build-ui}"

if [[ ! -x "$build/tests/e2e/test_e2e" ]]; then
    cmake -S "$here" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DZOR_BENCH=OFF
    cmake --build "$build" --target test_e2e zor-tool -j2
fi

mkdir -p "$out"
rm -f "$out"/*.png
ZOR_SHOTS="$out" QT_QPA_PLATFORM=xcb xvfb-run -a -s "-screen 0 ${ZOR_SCREEN:-1280x1024}x24" \
    "$build/tests/e2e/test_e2e" --gtest_filter='ScreenTour.*'
ls -1 "$out"/*.png
