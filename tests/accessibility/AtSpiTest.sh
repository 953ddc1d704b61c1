#!/usr/bin/env bash
# Drives the real viewer through AT-SPI, as a screen reader does: a virtual
# screen (Xvfb), a session bus of its own (dbus-run-session) that starts the
# AT-SPI registry, and a client in Python (Atspi through python3-gi), which is
# AtSpiTest.py. Where a part is missing it skips (77) with a one-line reason.
#   AtSpiTest.sh VIEWER
set -euo pipefail
viewer=$(cd "$(dirname "$1")" && pwd)/$(basename "$1")
client=$(cd "$(dirname "$0")" && pwd)/AtSpiTest.py
python=/usr/bin/python3

skip() {
  echo "SKIP: $*"
  exit 77
}
command -v Xvfb >/dev/null || skip "Xvfb is not installed (package xvfb)"
command -v dbus-run-session >/dev/null || skip "dbus-run-session is not installed (package dbus)"
[ -x /usr/libexec/at-spi-bus-launcher ] || skip "the AT-SPI registry is not installed (package at-spi2-core)"
command -v cjpeg >/dev/null || skip "cjpeg is not installed (package libjpeg-turbo-progs)"
"$python" -c "import gi; gi.require_version('Atspi', '2.0')" 2>/dev/null ||
  skip "the AT-SPI client is not installed (packages python3-gi and gir1.2-atspi-2.0)"

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# A plain 3300 x 3800 map: Kelder lies at the reference point of levels 0 and 1.
{ printf 'P6\n3300 3800\n255\n'; head -c $((3300 * 3800 * 3)) /dev/zero; } | cjpeg >"$work/bigmap_hi.jpg"
printf '[loc]\nname: %s\n-\n-\ntype: %s\n-\n-\npos:  %s\n' Kelder 0 25000,40000 Harrowgate 2 0,0 >"$work/knmain.gdb"

# The registry reaches the screen through DISPLAY, so the screen comes first.
Xvfb -displayfd 3 -screen 0 800x600x24 -nolisten tcp 3>"$work/display" 2>"$work/xvfb.log" &
xvfb_pid=$!
trap 'kill "$xvfb_pid" 2>/dev/null; rm -rf "$work"' EXIT
for _ in $(seq 1 100); do
  [ -s "$work/display" ] && break
  sleep 0.1
done
[ -s "$work/display" ] || { echo "FAIL: Xvfb did not start: $(cat "$work/xvfb.log")" >&2; exit 1; }
export DISPLAY=:$(cat "$work/display") QT_QPA_PLATFORM=xcb QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1
export HOME=$work XDG_RUNTIME_DIR=$work

dbus-run-session -- bash -c '
  (cd "$1" && exec "$2") >"$1/viewer.log" 2>&1 &
  viewer=$!
  status=0
  timeout 120 "$3" "$4" || status=$?
  [ "$status" -eq 0 ] || cat "$1/viewer.log" >&2
  kill "$viewer" 2>/dev/null || true
  wait "$viewer" 2>/dev/null || true
  exit "$status"
' bash "$work" "$viewer" "$python" "$client" 2> >(grep -v -e "^dbus-daemon" -e "SpiRegistry daemon" -e "^X connection" >&2)
