#!/usr/bin/env bash
# Installs every Debian package that the build, the tests and the program
# need. Safe to run again; skips apt-get when everything is already there.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config
  qt6-base-dev qt6-base-dev-tools qt6-svg-dev libqt6svg6 qt6-charts-dev libgl-dev qt6-qpa-plugins
  qt6-translations-l10n
  libudev-dev zlib1g-dev libsqlite3-dev ccache
  googletest libgtest-dev libgmock-dev libbenchmark-dev
  clang libclang-rt-14-dev clang-format
  mbpoll xvfb xauth imagemagick fonts-dejavu-core poppler-utils
  help2man lintian
  g++-mingw-w64-x86-64-posix mingw-w64-x86-64-dev wine64
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done

if ((${#missing[@]})); then
  SUDO=""
  [ "$(id -u)" -eq 0 ] || SUDO=sudo
  echo "Installing: ${missing[*]}"
  $SUDO apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq "${missing[@]}"
fi
