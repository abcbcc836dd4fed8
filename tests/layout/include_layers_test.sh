#!/usr/bin/env bash
# Modules stand in layers: a module includes only modules below it, never one
# beside or above it. A new module has to be given its place here. The Qt
# serial port and event pump (ui/port) stand below the windows, since the
# command line uses them too.
set -euo pipefail
root="${1:-$(dirname "$0")/../..}"
cd "$root/src"

declare -A level=(
  [platform]=-1
  [files]=0 [lang]=0
  [link]=1
  [device]=2
  [firmware]=3 [diagnostics]=3 [channels]=3
  [config]=4
  [rules]=5 [stats]=5
  [app]=6
  [sim]=7 [ui/port]=7 [winport]=7
  [cli]=8 [ui]=8
)

# The module of a path below src/ ("ui/port/x.h" -> ui/port, "link/x.h" ->
# link, "x.h" -> nothing), in $module_found.
module_of() {
  case "$1" in
    ui/port/*) module_found=ui/port ;;
    */*) module_found="${1%%/*}" ;;
    *) module_found="" ;;
  esac
}

status=0
complain() {
  echo "include_layers: $*" >&2
  status=1
}

while IFS= read -r -d '' file; do
  file="${file#./}"
  module_of "$file"
  module="$module_found"
  if [ -z "${level[$module]+set}" ]; then
    complain "src/$module has no place in the layers"
    continue
  fi
  while IFS= read -r line; do
    [[ "$line" =~ include[[:space:]]*([\"<])([^\">]*) ]] || continue
    path="${BASH_REMATCH[2]}"
    quoted=0
    [ "${BASH_REMATCH[1]}" = '"' ] && quoted=1
    case "$path" in
      ../* | */../*)
        complain "$file includes $path: name the module instead of climbing out of the folder"
        continue
        ;;
    esac
    module_of "$path"
    included="$module_found"
    [ -z "$included" ] && continue  # a file of the same folder
    if [ -z "${level[$included]+set}" ]; then
      # <sys/stat.h> and the like are system headers; "x/y.h" must be a module.
      [ "$quoted" -eq 1 ] && complain "$file includes \"$path\", whose module has no place in the layers"
      continue
    fi
    [ "$included" = "$module" ] && continue
    if [ "${level[$included]}" -ge "${level[$module]}" ]; then
      complain "$file ($module) includes $path ($included), which does not stand below it"
    fi
  done < <(grep -E '^[[:space:]]*#[[:space:]]*include' "$file" || true)
done < <(find . -type f ! -name CMakeLists.txt ! -name '*.txt' -print0)
[ "$status" -eq 0 ] && echo "include_layers: every module includes only modules below it"
exit "$status"
