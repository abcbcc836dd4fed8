#!/usr/bin/env bash
# The core and the command line build on Windows too, so POSIX and Linux
# headers stay in the few places that are one system's own: the platform
# layer's files (one per system), the pseudo-terminal bridge of the
# simulator, and the Qt layer with its Linux serial port and event pump.
set -euo pipefail
root="${1:-$(dirname "$0")/../..}"
cd "$root/src"

posix='unistd|fcntl|termios|pty|poll|dirent|pwd|grp|signal|dlfcn|pthread|libgen|spawn|sched|semaphore|syslog|utmp|sys/[a-z_]+|linux/[a-z_/]+|netinet/[a-z_]+|arpa/[a-z_]+'
status=0
while IFS= read -r hit; do
  file="${hit%%:*}"
  case "$file" in
    ./platform/* | ./sim/pty/* | ./ui/*) continue ;;
  esac
  echo "system_headers: ${hit#./}: a POSIX header outside the platform layer, the pseudo-terminal and the Qt layer" >&2
  status=1
done < <(grep -rnE "^[[:space:]]*#[[:space:]]*include[[:space:]]*<($posix)\.h>" . || true)
[ "$status" -eq 0 ] && echo "system_headers: POSIX headers only where one system is served"
exit "$status"
