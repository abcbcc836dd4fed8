#!/usr/bin/env bash
# Modules stand in layers: a module includes only modules below it, never one
# beside or above it. A new module has to be given its place here.
set -euo pipefail
root="${1:-$(dirname "$0")/../..}"
cd "$root/src"

declare -A level=(
  [text]=0 [lang]=0
  [files]=1
  [link]=2
  [device]=3
  [firmware]=4 [diagnostics]=4 [channels]=4
  [config]=5
  [rules]=6 [stats]=6
  [app]=7
  [sim]=8 [port]=8
  [cli]=9 [ui]=9
)

status=0
while IFS= read -r -d '' file; do
  module="${file#./}"
  module="${module%%/*}"
  if [ -z "${level[$module]+set}" ]; then
    echo "include_layers: src/$module has no place in the layers" >&2
    status=1
    continue
  fi
  while IFS= read -r included; do
    [ "$included" = "$module" ] && continue
    if [ -z "${level[$included]+set}" ]; then
      echo "include_layers: ${file#./} includes \"$included/...\", which has no place in the layers" >&2
      status=1
    elif [ "${level[$included]}" -ge "${level[$module]}" ]; then
      echo "include_layers: ${file#./} ($module) includes $included, which does not stand below it" >&2
      status=1
    fi
  done < <(sed -nE 's/^[[:space:]]*#[[:space:]]*include[[:space:]]+"([a-z_]+)\/.*/\1/p' "$file" | sort -u)
done < <(find . -type f \( -name '*.h' -o -name '*.cpp' -o -name '*.in' \) -print0)
[ "$status" -eq 0 ] && echo "include_layers: every module includes only modules below it"
exit "$status"
