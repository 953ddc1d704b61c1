#!/usr/bin/env bash
# People mode from an empty home folder: the dialog, the sample world, the map;
# the next start opens the remembered world at once, and once it has gone the
# dialog comes back.
#   PeopleModeTest.sh DRIVER GENERATOR_DIR
set -euo pipefail
driver=$1
export PATH="$2:$PATH"
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
export HOME=$scratch/home XDG_CONFIG_HOME=$scratch/home/.config XDG_DATA_HOME=$scratch/home/.local/share
export XDG_CACHE_HOME=$scratch/home/.cache QT_QPA_PLATFORM=offscreen
mkdir -p "$HOME"
cd "$HOME"
world="$XDG_DATA_HOME/Kelderwyn Map/sample-world"

expect() {
  local output
  output=$(timeout 120 "$driver" --desktop 2>/dev/null) || { echo "FAIL: status $? on start $1" >&2; exit 1; }
  [ "$output" = "$2" ] || { printf 'FAIL: start %s showed\n%s\nnot\n%s\n' "$1" "$output" "$2" >&2; exit 1; }
}

expect 1 $'dialog\nmap '"$world"' 200'
grep -q "^MapFolder=" "$XDG_CONFIG_HOME/io.kelderwyn.Map.conf" || { echo "FAIL: no folder remembered" >&2; exit 1; }
expect 2 "map $world 200"
rm -r "$world"
expect 3 $'dialog\nmap '"$world"' 200'
echo "PASS: people mode"
