#!/usr/bin/env bash
# Drives the real viewer through AT-SPI, as a screen reader does: a virtual
# screen (xvfb-run), a session bus of its own (dbus-run-session) that starts
# the AT-SPI registry, and the Atspi client AtSpiTest.py. Where a part is
# missing it skips (77) with a one-line reason.
#   AtSpiTest.sh VIEWER
set -euo pipefail
viewer=$(cd "$(dirname "$1")" && pwd)/$(basename "$1")
client=$(cd "$(dirname "$0")" && pwd)/AtSpiTest.py
skip() { echo "SKIP: $*"; exit 77; }
command -v xvfb-run >/dev/null || skip "xvfb-run is not installed (package xvfb)"
command -v dbus-run-session >/dev/null || skip "dbus-run-session is not installed (package dbus)"
[ -x /usr/libexec/at-spi-bus-launcher ] || skip "the AT-SPI registry is not installed (package at-spi2-core)"
/usr/bin/python3 -c "import gi; gi.require_version('Atspi', '2.0')" 2>/dev/null ||
  skip "the AT-SPI client is not installed (packages python3-gi and gir1.2-atspi-2.0)"

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# A plain 3300 x 3800 map: Kelder lies at the reference point of levels 0 and 1.
{ printf 'P6\n3300 3800\n255\n'; head -c $((3300 * 3800 * 3)) /dev/zero; } | cjpeg >"$work/bigmap_hi.jpg"
printf '[loc]\nname: %s\n-\n-\ntype: %s\n-\n-\npos:  %s\n' Kelder 0 25000,40000 Harrowgate 2 0,0 >"$work/knmain.gdb"
export HOME=$work XDG_RUNTIME_DIR=$work QT_QPA_PLATFORM=xcb QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1

# DISPLAY is set before the bus starts, so that the registry reaches the screen.
xvfb-run -a -s "-screen 0 800x600x24 -nolisten tcp" dbus-run-session -- bash -c '
  (cd "$1" && exec "$2") >"$1/viewer.log" 2>&1 &
  viewer=$!
  status=0
  timeout 120 /usr/bin/python3 "$3" || { status=$?; cat "$1/viewer.log" >&2; }
  kill "$viewer"
  wait "$viewer" || true
  exit "$status"
' bash "$work" "$viewer" "$client" 2> >(grep -v -e "^dbus-daemon" -e "SpiRegistry daemon" -e "^X connection" >&2)
