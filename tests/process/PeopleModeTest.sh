#!/usr/bin/env bash
# People mode from an empty home folder: the dialog, the sample world, the map;
# the next start opens the remembered world at once; once it has gone, the
# dialog comes back.
#   PeopleModeTest.sh DRIVER GENERATOR_DIR
set -euo pipefail
driver=$1
export PATH="$2:$PATH" QT_QPA_PLATFORM=offscreen HOME
HOME=$(mktemp -d)
trap 'rm -rf "$HOME"' EXIT
export XDG_CONFIG_HOME=$HOME/.config XDG_DATA_HOME=$HOME/.local/share XDG_CACHE_HOME=$HOME/.cache
cd "$HOME"
world="$XDG_DATA_HOME/Kelderwyn Map/sample-world"

expect() {
  local output
  output=$(timeout 120 "$driver" --desktop 2>/dev/null) || { echo "FAIL: status $? at start $1" >&2; exit 1; }
  [ "$output" = "$2" ] || { printf 'FAIL: start %s showed\n%s\n' "$1" "$output" >&2; exit 1; }
}
expect 1 $'dialog\nmap '"$world"' 200'
expect 2 "map $world 200"
rm -r "$world"
expect 3 $'dialog\nmap '"$world"' 200'
echo "PASS: people mode"
