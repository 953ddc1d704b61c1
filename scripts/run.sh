#!/usr/bin/env bash
# Installs what is missing, builds, creates the sample world in data/ when it is
# not there, and starts the viewer in that folder. Without a display it runs the
# viewer on a virtual one (xvfb-run) and saves a screenshot of the window instead.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/common.sh

kelderwyn_install_packages
kelderwyn_build build Release

if [ ! -f data/bigmap_hi.jpg ] || [ ! -f data/knmain.gdb ]; then
  echo "Creating the sample world in data/"
  build/tools/kelderwyn-make-sample-world data
fi

viewer=$PWD/build/ui/kelderwyn-map
cd data

if [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ]; then
  exec "$viewer"
fi

screenshot=$PWD/screenshot.png
echo "No display found (neither DISPLAY nor WAYLAND_DISPLAY is set): running the viewer on a virtual screen and saving a screenshot to $screenshot."
if ! command -v xvfb-run >/dev/null; then
  echo "xvfb-run is not installed, so the viewer cannot be shown here." >&2
  exit 1
fi
# The window sits at (232, 113) with a client area of 370 x 464; the virtual
# screen has no window manager, so there is no frame around it.
xvfb-run --auto-servernum --server-args="-screen 0 800x600x24" bash -c '
  "$1" &
  viewer=$!
  sleep 3
  import -window root -crop 370x464+232+113 +repage "$2"
  kill "$viewer"
  wait "$viewer" || true
' screenshot "$viewer" "$screenshot"
echo "Saved $screenshot"
