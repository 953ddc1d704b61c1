#!/usr/bin/env bash
# Publishes the sample world and opens the site in real headless Chromium
# through chromedriver (BrowserTest.py). Where Chromium, its driver or the
# Selenium client is missing it skips (77) with a one-line reason.
#   BrowserTest.sh PUBLISH MAKE_SAMPLE_WORLD INSPECT SCREENSHOT_DIR
set -euo pipefail
skip() { echo "SKIP: $*"; exit 77; }
command -v chromium >/dev/null || skip "Chromium is not installed (package chromium)"
command -v chromedriver >/dev/null || skip "chromedriver is not installed (package chromium-driver)"
/usr/bin/python3 -c "import selenium" 2>/dev/null || skip "Selenium is not installed (package python3-selenium)"

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
"$2" "$work/world" >/dev/null
"$1" --title "Kelderwyn in a browser" "$work/site" "$work/world" >/dev/null
mkdir -p "$4"
timeout 240 /usr/bin/python3 "$(dirname "$0")/BrowserTest.py" "$work" "$3" "$4"
