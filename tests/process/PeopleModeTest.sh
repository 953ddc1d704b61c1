#!/usr/bin/env bash
# People mode from an empty home folder: the dialog, the sample world, the map;
# the next start opens the remembered world at once; once it has gone, the
# dialog comes back and says so. A folder whose map fails is not remembered;
# a folder whose name is not UTF-8 opens and is remembered by its bytes;
# Ctrl+O opens another folder from a running window.
#   PeopleModeTest.sh DRIVER GENERATOR_DIR
set -euo pipefail
driver=$1
export PATH="$2:$PATH" QT_QPA_PLATFORM=offscreen HOME
HOME=$(cd "$(mktemp -d)" && pwd -P)
trap 'rm -rf "$HOME"' EXIT
export XDG_CONFIG_HOME=$HOME/.config XDG_DATA_HOME=$HOME/.local/share XDG_CACHE_HOME=$HOME/.cache
cd "$HOME"
world="$XDG_DATA_HOME/Kelderwyn Map/sample-world"

# expect START OUTPUT [ARGUMENTS...]
expect() {
  local output start=$1 wanted=$2
  shift 2
  output=$(timeout 120 "$driver" --desktop "$@" 2>/dev/null) || { echo "FAIL: status $? at start $start" >&2; exit 1; }
  [ "$output" = "$wanted" ] || { printf 'FAIL: start %s showed\n%s\n' "$start" "$output" >&2; exit 1; }
}
expect 1 $'dialog\nmap '"$world"' 200'
expect 2 "map $world 200"
rm -r "$world"
expect 3 "dialog $world, opened last time, no longer exists."$'\nmap '"$world"' 200'

broken=$HOME/broken
cp -r "$world" "$broken"
truncate -s 400 "$broken/bigmap_hi.jpg"
rm "$XDG_CONFIG_HOME/io.kelderwyn.Map.conf"
expect 4 $'error\nmap '"$broken"' 0' "$broken"
expect 5 $'dialog\nmap '"$world"' 200'

odd=$HOME/$'map\xffs'
cp -r "$world" "$odd"
expect 6 "map $odd 200" "$odd"
expect 7 "map $odd 200"

KELDERWYN_TEST_CTRL_O=1 expect 8 "map $odd 200"$'\ndialog\nmap '"$world"' 200'
expect 9 "map $world 200"
echo "PASS: people mode"
