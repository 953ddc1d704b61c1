#!/usr/bin/env bash
# What Orca itself, started before the viewer, says to a keyboard user: the real
# viewer on Xvfb, a session bus of its own, keys pressed with xdotool, and every
# line Orca would speak read from its debug log (SPEECH OUTPUT, also without a
# speech server). Where Orca or a tool is missing, or Orca does not start (as
# while another Orca of this user runs: none is ever replaced), it skips (77).
#   OrcaTest.sh VIEWER
set -euo pipefail
skip() { echo "SKIP: $*"; exit 77; }

if [ "${1:-}" != --inside ]; then
  viewer=$(cd "$(dirname "$1")" && pwd)/$(basename "$1")
  for tool in xvfb-run:xvfb dbus-run-session:dbus orca:orca xdotool:xdotool cjpeg:libjpeg-turbo-progs; do
    command -v "${tool%%:*}" >/dev/null || skip "${tool%%:*} is not installed (package ${tool#*:})"
  done
  [ -x /usr/libexec/at-spi-bus-launcher ] || skip "the AT-SPI registry is not installed (package at-spi2-core)"
  work=$(mktemp -d)
  trap "rm -rf \"\$work\"" EXIT
  # A plain 3300 x 3800 map: Kelder lies at the reference point of levels 0 and 1.
  { printf 'P6\n3300 3800\n255\n'; head -c $((3300 * 3800 * 3)) /dev/zero; } | cjpeg >"$work/bigmap_hi.jpg"
  printf '[loc]\nname: %s\n-\n-\ntype: %s\n-\n-\npos:  %s\n' Kelder 0 25000,40000 Harrowgate 2 0,0 >"$work/knmain.gdb"
  export HOME=$work XDG_RUNTIME_DIR=$work QT_QPA_PLATFORM=xcb QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1
  xvfb-run -a -s "-screen 0 800x600x24 -nolisten tcp" dbus-run-session -- "$0" --inside "$work" "$viewer" \
    2> >(grep -v -e "^dbus-daemon" -e "SpiRegistry daemon" -e "^X connection" >&2)
  exit
fi

work=$2 viewer=$3 log=$2/orca.log
passed=0 failed=0
# check WHAT COMMAND...: counts the command's success, or reports WHAT.
check() {
  if "${@:2}"; then passed=$((passed + 1)); else failed=$((failed + 1)); echo "FAIL: $1: $(spoken | tail -n 3)" >&2; fi
}
spoken() { grep -a "SPEECH OUTPUT: '" "$log" 2>/dev/null | tail -n +"$((mark + 1))"; }
# hear TEXT [SECONDS]: waits up to 10 s, or SECONDS, for a line after the mark
# that says TEXT.
hear() {
  for ((tries = ${2:-10} * 5; tries > 0; tries--)); do grep -qF -- "$1" <<<"$(spoken)" && return; sleep 0.2; done
  return 1
}
# press KEY...: sets the mark after what was said so far, then presses.
press() { mark=$(grep -ac "SPEECH OUTPUT: '" "$log" || true); xdotool key --clearmodifiers "$@"; }

# Orca buffers its debug log when it goes to a file; written to a terminal
# (script's), it comes line by line, as the test needs to follow it.
script -qfec "echo \$\$ >'$work/orca.pid'; exec orca -u '$work/prefs' --debug-file=/dev/tty" "$log" \
  </dev/null >/dev/null 2>&1 &
viewer_pid=
# Orca may wait for the viewer it was talking to; it is stopped for good.
trap '[ -z "$viewer_pid" ] || kill "$viewer_pid"; kill -9 "$(cat "$work/orca.pid")"' EXIT
mark=0
hear "Screen reader on" 30 ||
  { echo "SKIP: Orca did not start: $(grep -av "^$" "$log" | tail -n 1)"; exit 77; }

(cd "$work" && exec "$viewer") >"$work/viewer.log" 2>&1 &
viewer_pid=$!
window=$(timeout 20 xdotool search --sync --onlyvisible --name "^Kelderwyn Map$" | head -n 1) || true
[ -n "$window" ] || { echo "FAIL: the viewer's window did not appear" >&2; cat "$work/viewer.log" >&2; exit 1; }
xdotool windowfocus --sync "$window"
hear "Zoom level 0 of 6, near Kelder" || true

press ctrl+plus
check "Ctrl+plus on the map" hear "Zoom level 1 of 6, near Kelder"

for name in "Zoom In push" "Zoom Out push" "Actual Size push" "Location combo" "Go push"; do
  press Tab
  check "Tab did not reach $name" hear "$name"
done
press shift+Tab

xdotool type --delay 150 Harr
press Return
check "Go from the list was not announced" hear "Zoom level 4 of 6, near Harrowgate"
sleep 3
check "Go was not announced exactly once" test "$(spoken | grep -c "Zoom level")" = 1

echo "$passed passed, $failed failed"
[ "$failed" = 0 ]
