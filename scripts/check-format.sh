#!/usr/bin/env bash
# Fails when a committed C++ source differs from what clang-format makes of
# it with the committed .clang-format, and lists the places. Run by CTest
# (test "format"); `clang-format -i FILE` mends a file.
set -euo pipefail
cd "$(dirname "$0")/.."
if git rev-parse --is-inside-work-tree >/dev/null 2>&1; then
  mapfile -t files < <(git ls-files -- '*.cpp' '*.h')
else
  mapfile -t files < <(find src apps tests bench fuzz -name '*.cpp' -o -name '*.h')
fi
clang-format --dry-run -Werror "${files[@]}"
