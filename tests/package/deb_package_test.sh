#!/usr/bin/env bash
# The Debian package from end to end: built with cpack, installed with
# dpkg -i, the installed programs run from an empty folder, then removed
# again, whatever happened. Skips (77) unless run as root where dpkg is.
#
#   deb_package_test.sh BUILD_DIR
set -uo pipefail
build="$(cd "$1" && pwd)"
package=qv82hs

if [ "$(id -u)" -ne 0 ] || ! command -v dpkg >/dev/null || ! command -v cpack >/dev/null; then
  echo "skipped: needs root, dpkg and cpack"
  exit 77
fi
if dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
  # Someone's own installation is not ours to replace or remove.
  echo "skipped: $package is installed on this machine already"
  exit 77
fi

scratch="$(mktemp -d)"
installed=0
cleanup() {
  if [ "$installed" -eq 1 ]; then
    dpkg --purge "$package" >/dev/null || echo "FAIL: dpkg --purge $package"
  fi
  rm -rf "$scratch"
}
trap cleanup EXIT

failures=0
fail() {
  echo "FAIL: $*"
  failures=$((failures + 1))
}
# expect_output DESCRIPTION EXPECTED COMMAND...: exit 0 and the output holds EXPECTED.
expect_output() {
  local what="$1" expected="$2"
  shift 2
  local output status
  output="$("$@" 2>&1)"
  status=$?
  if [ "$status" -ne 0 ]; then
    fail "$what: exit $status"
    echo "$output"
  elif [[ "$output" != *"$expected"* ]]; then
    fail "$what: no '$expected' in:"
    echo "$output"
  fi
}

# Built in the scratch folder: nothing goes into the build or source tree.
if ! (cd "$scratch" && cpack -G DEB --config "$build/CPackConfig.cmake" -B "$scratch/out" >cpack.log 2>&1); then
  cat "$scratch/cpack.log"
  echo "FAIL: cpack"
  exit 1
fi
deb="$(ls "$scratch"/out/*.deb 2>/dev/null | head -n 1)"
if [ -z "$deb" ]; then
  echo "FAIL: cpack made no .deb"
  exit 1
fi
depends="$(dpkg-deb -f "$deb" Depends)"
echo "Depends: $depends"
for library in libqt6core6 libqt6gui6 libqt6widgets6 libqt6serialport6; do
  [[ "$depends" == *"$library"* ]] || fail "Depends lacks $library"
done

installed=1
if ! dpkg -i "$deb"; then
  echo "FAIL: dpkg -i"
  exit 1
fi
for file in /usr/bin/qv82hs /usr/bin/qv82hs-cli /usr/bin/qv82hs-sim \
  /usr/share/qv82hs/qv82hs.ini /usr/share/qv82hs/io.ini /usr/share/qv82hs/template.xml \
  /usr/share/qv82hs/Production.ini /usr/share/applications/qv82hs.desktop \
  /usr/share/icons/hicolor/scalable/apps/qv82hs.svg /usr/share/icons/hicolor/48x48/apps/qv82hs.png; do
  [ -f "$file" ] || fail "$file not installed"
done
shipped="$(cd /usr/share/qv82hs && md5sum ./*)"

# As a user starting it from the menu: an empty folder, a fresh home.
empty="$scratch/empty"
export HOME="$scratch/home"
unset XDG_CONFIG_HOME
mkdir -p "$empty" "$HOME"
cd "$empty" || exit 1
expect_output "qv82hs-cli --version" "qv82hs-cli 1." /usr/bin/qv82hs-cli --version
expect_output "qv82hs-sim --help" "--exit-on-eof" /usr/bin/qv82hs-sim --help
expect_output "qv82hs-cli --simulate identify" "QV82" \
  timeout 120 /usr/bin/qv82hs-cli --simulate identify
expect_output "qv82hs --version" "qv82hs 1." env QT_QPA_PLATFORM=offscreen /usr/bin/qv82hs --version

[ -f "$HOME/.config/qv82hs/qv82hs.ini" ] || fail "the per-user folder was not filled"
[ -z "$(ls -A "$empty")" ] || fail "files written into the current folder: $(ls -A "$empty")"
[ "$(cd /usr/share/qv82hs && md5sum ./*)" = "$shipped" ] || fail "the installed data changed"

[ "$failures" -eq 0 ] || exit 1
echo "package test passed"
