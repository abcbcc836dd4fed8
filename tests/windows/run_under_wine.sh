#!/usr/bin/env bash
# The Windows build under wine: its core and simulator suites; the four
# --simulate commands, which must print byte for byte what the Linux build
# prints; and identify and upload over a COM port that wine maps to a
# pseudo-terminal of the Linux qv82hs-sim.
# Usage: run_under_wine.sh LINUX_BUILD WINDOWS_BUILD
set -euo pipefail
cd "$(dirname "$0")/../.."
linux="$(realpath "$1")"
windows="$(realpath "$2")"
scratch="$(mktemp -d "${TMPDIR:-/tmp}/qv82-wine-XXXXXX")"
sim_pid=""
cleanup() {
  [[ -n "$sim_pid" ]] && kill "$sim_pid" 2>/dev/null || true
  WINEPREFIX="$scratch/prefix" wineserver -k 2>/dev/null || true
  rm -rf "$scratch"
}
trap cleanup EXIT
export WINEPREFIX="$scratch/prefix" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
wine wineboot --init >/dev/null 2>&1

failures=0
fail() { echo "FAILED: $*"; failures=$((failures + 1)); }

echo "== core and simulator suites under wine"
(cd "$windows" && ctest --output-on-failure -j2) || fail "the suites under wine"

# Runs one command line in both builds, each in a fresh copy of data/, and
# compares what they print and their exit codes.
same_output() {
  local name="$1"; shift
  local dir
  for system in linux windows; do
    dir="$scratch/$name-$system"
    mkdir -p "$dir"
    cp data/*.ini data/*.xml "$dir"/
    # Files the command reads, under the same relative name on both systems.
    [[ -f "$scratch/given.xml" ]] && cp "$scratch/given.xml" "$dir"/
    if [[ $system == linux ]]; then
      (cd "$dir" && "$linux/src/cli/qv82hs-cli" "$@" >stdout 2>stderr; echo $? >rc) || true
    else
      (cd "$dir" && wine "$windows/src/cli/qv82hs-cli.exe" "$@" >stdout 2>stderr; echo $? >rc) || true
    fi
  done
  local a="$scratch/$name-linux" b="$scratch/$name-windows"
  if cmp -s "$a/stdout" "$b/stdout" && cmp -s "$a/rc" "$b/rc"; then
    echo "same: $name ($(wc -l <"$a/stdout") lines, exit $(cat "$a/rc"))"
  else
    fail "$name prints differently on Windows"
    diff "$a/stdout" "$b/stdout" | head -20 || true
    echo "exit codes: linux $(cat "$a/rc"), windows $(cat "$b/rc")"
  fi
  for f in "$a"/*.xml; do
    local base="${f##*/}"
    if [[ -f "$b/$base" ]] && ! cmp -s "$f" "$b/$base"; then fail "$name wrote $base differently"; fi
  done
  return 0
}

echo "== qv82hs-cli --simulate, Linux and Windows builds"
same_output upload --simulate upload -o conf.xml
cp "$scratch/upload-linux/conf.xml" "$scratch/given.xml"
same_output show --simulate show given.xml
same_output stats --simulate stats
same_output download --simulate --yes download given.xml

echo "== identify and upload over COM7, a pseudo-terminal of qv82hs-sim"
com="$WINEPREFIX/dosdevices/com7"
rm -f "$com"
"$linux/src/sim/pty/qv82hs-sim" --link "$com" >"$scratch/sim.out" 2>&1 &
sim_pid=$!
for _ in $(seq 100); do [[ -L "$com" ]] && break; sleep 0.1; done
[[ -L "$com" ]] || fail "the simulator made no link at $com"
same_port() {
  local name="$1"; shift
  local a="$scratch/com-$name-linux" b="$scratch/com-$name-windows"
  mkdir -p "$a" "$b"
  cp data/*.ini data/*.xml "$a"/
  cp data/*.ini data/*.xml "$b"/
  (cd "$a" && "$linux/src/cli/qv82hs-cli" --port "$com" "$@" >out 2>&1; echo $? >rc) || true
  # A read that never completes must fail the check, not hang the suite.
  (cd "$b" && timeout 120 wine "$windows/src/cli/qv82hs-cli.exe" --port COM7 "$@" \
    >out 2>&1; echo $? >rc) || true
  # The port's name is the one word that may differ.
  sed -i "s|$com|COM7|g" "$a/out"
  # Wine's own services (the serial driver's host among them) now and then
  # report a crash of theirs on our terminal; the program's output and exit
  # code are still compared, so a crash of the program itself still fails.
  if grep -q '^wine: ' "$b/out"; then
    echo "note: wine said during $name: $(grep '^wine: ' "$b/out" | head -1)"
    grep -v '^wine: ' "$b/out" >"$b/out.program" || true
    mv "$b/out.program" "$b/out"
  fi
  if cmp -s "$a/out" "$b/out" && cmp -s "$a/rc" "$b/rc"; then
    echo "same over COM7: $name (exit $(cat "$a/rc"))"
  else
    fail "$name over COM7"
    diff "$a/out" "$b/out" | head -20 || true
    echo "exit codes: linux $(cat "$a/rc"), windows $(cat "$b/rc")"
  fi
}
same_port identify identify
same_port upload upload -o com.xml
cmp -s "$scratch/com-upload-linux/com.xml" "$scratch/com-upload-windows/com.xml" ||
  fail "upload over COM7 wrote a different file"

if ((failures > 0)); then
  echo "$failures Windows check(s) failed"
  exit 1
fi
echo "Windows build: every check passed"
