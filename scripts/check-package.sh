#!/usr/bin/env bash
# Builds the Debian package (scripts/package.sh), unpacks it into a scratch
# root and runs both programs' --version and --help from there, checks that
# the menu entry, icon, manual pages and bus files are in it, and runs
# lintian over it: any error or warning fails.
set -euo pipefail
cd "$(dirname "$0")/.."
deb=$(scripts/package.sh)
root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT
dpkg -x "$deb" "$root"

for program in zor-tool zor-sim; do
  "$root/usr/bin/$program" --version | grep -q "1\.4\.1" || { echo "$program --version: no version" >&2; exit 1; }
  "$root/usr/bin/$program" --help >/dev/null
  [ -s "$root/usr/share/man/man1/$program.1.gz" ] || { echo "no manual page of $program" >&2; exit 1; }
done
for file in applications/zor-tool.desktop icons/hicolor/scalable/apps/zor-tool.svg zor-tool/buses/demo.bus \
            doc/zor-tool/copyright doc/zor-tool/changelog.gz; do
  [ -s "$root/usr/share/$file" ] || { echo "missing /usr/share/$file" >&2; exit 1; }
done

if ! report=$(lintian --fail-on error,warning "$deb" 2>&1); then
  grep -v "running with root privileges" <<<"$report" >&2
  exit 1
fi
echo "Package $deb checked."
