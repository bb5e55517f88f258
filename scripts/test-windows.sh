#!/usr/bin/env bash
# Cross-builds the Windows serial backend and port catalogue with their tests
# (mingw-w64, cmake/mingw-w64-x86_64.cmake) into build-win/ (or BUILD_DIR)
# and runs them under Wine: the unit tests through ctest, then the search
# and read cycle against zor-sim (SIM, the Linux build's by default) on a
# COM port that Wine maps to its pseudo-terminal, and the loss of that port
# when zor-sim stops. What cannot run here is said in a "skipped: " line;
# a failure exits non-zero.
set -euo pipefail
cd "$(dirname "$0")/.."
BUILD_DIR=${BUILD_DIR:-build-win}
SIM=${SIM:-build/apps/zor-sim/zor-sim}
PORT=COM9

if ! command -v x86_64-w64-mingw32-g++-posix >/dev/null; then
  echo "skipped: no mingw-w64 compiler (x86_64-w64-mingw32-g++-posix); run scripts/setup.sh"
  exit 0
fi
BUILD_DIR=$BUILD_DIR BUILD_TARGETS="test_win32 test_wine_bus" scripts/build.sh \
  -DCMAKE_TOOLCHAIN_FILE="$PWD/cmake/mingw-w64-x86_64.cmake" -DZOR_WERROR=ON

if ! command -v wine >/dev/null; then
  echo "skipped: no wine in PATH; the Windows tests were built but not run"
  exit 0
fi
# A prefix of the build's own, made once (its first start takes a while);
# no Mono or Gecko: nothing here needs them.
export WINEPREFIX="$PWD/$BUILD_DIR/wine" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree=;mshtml="
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  wineboot -i >/dev/null 2>&1
  wineserver -w
fi
ctest --test-dir "$BUILD_DIR" --output-on-failure --timeout 120

if [ ! -x "$SIM" ]; then
  echo "skipped: the search under Wine needs zor-sim ($SIM); build the Linux tree first"
  exit 0
fi
work=$(mktemp -d)
sim_pid=
cleanup() {
  [ -n "$sim_pid" ] && kill "$sim_pid" 2>/dev/null || true
  wine reg delete 'HKLM\Software\Wine\Ports' /v "$PORT" /f >/dev/null 2>&1 || true
  wineserver -k 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

"$SIM" >"$work/sim.out" 2>"$work/sim.err" &
sim_pid=$!
for _ in $(seq 50); do
  [ -s "$work/sim.out" ] && break
  sleep 0.1
done
pty=$(head -n 1 "$work/sim.out")
if [ -z "$pty" ]; then
  echo "zor-sim did not start:" >&2
  cat "$work/sim.err" >&2
  exit 1
fi
# Wine reads its port map when its server starts: map the port, then start
# the server anew.
wine reg add 'HKLM\Software\Wine\Ports' /v "$PORT" /d "$pty" /f >/dev/null 2>&1
wineserver -k 2>/dev/null || true
wineserver -w
wine reg query 'HKLM\Software\Wine\Ports' /v "$PORT" >/dev/null 2>&1
if [ "$(readlink "$WINEPREFIX/dosdevices/${PORT,,}" 2>/dev/null)" != "$pty" ]; then
  echo "skipped: this Wine does not map $PORT to a pseudo-terminal (HKLM\\Software\\Wine\\Ports)"
  exit 0
fi

# The bus test asks for the hang-up by making this file; zor-sim is stopped
# then, which closes the pseudo-terminal's far end.
(
  while [ ! -e "$work/hangup" ] && kill -0 "$sim_pid" 2>/dev/null; do sleep 0.05; done
  kill "$sim_pid" 2>/dev/null || true
) &
ZOR_WINE_PORT=$PORT ZOR_WINE_HANGUP="$(winepath -w "$work/hangup")" wine "$BUILD_DIR/test_wine_bus.exe"
