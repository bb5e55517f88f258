#!/usr/bin/env bash
# Fails when a file includes a header of a layer above its own. The layers
# and what each may include, as docs/architecture.md draws them:
#   ui -> app -> commands -> device, link, ports -> forms -> runtime
#   commands -> journal (the service journal: SQLite, no other layer)
#   sim -> link -> runtime
# Run by CTest (test "layers"); prints every include that points up.
set -euo pipefail
cd "$(dirname "$0")/.."

declare -A allowed=(
  [runtime]="runtime"
  [forms]="forms runtime"
  [link]="link runtime"
  [ports]="ports forms runtime"
  [device]="device forms runtime"
  [sim]="sim link runtime"
  [journal]="journal"
  [commands]="commands journal device link ports forms runtime"
  [app]="app commands journal device link ports forms runtime"
  [ui]="ui app commands journal device link ports forms runtime sim"
)

wrong=0
for layer in src/*/; do
  layer=$(basename "$layer")
  if [ -z "${allowed[$layer]+set}" ]; then
    echo "src/$layer: a folder that is no layer; name what it may include in $0"
    wrong=1
    continue
  fi
  while IFS= read -r hit; do
    file=${hit%%:*}
    rest=${hit#*:}
    line=${rest%%:*}
    target=$(sed -E 's/^[^"]*"([a-z]+)\/.*/\1/' <<<"${rest#*:}")
    case " ${allowed[$layer]} " in
      *" $target "*) ;;
      *)
        echo "$file:$line: $layer includes $target, which is not below it"
        wrong=1
        ;;
    esac
  done < <(grep -rnE '^[[:space:]]*#[[:space:]]*include[[:space:]]*"[a-z]+/' "src/$layer" || true)
  # A path that climbs out of the folder would slip past the check above.
  while IFS= read -r hit; do
    echo "${hit%%:*}: includes by a relative path up; name the layer instead"
    wrong=1
  done < <(grep -rnE '^[[:space:]]*#[[:space:]]*include[[:space:]]*"\.\./' "src/$layer" || true)
done
exit "$wrong"
