#!/usr/bin/env bash
# The conventions every program keeps on its command line: --version prints
# the name and the package's version, --help (of the program and of each
# command) the usage on stdout with status 0, and a wrong option is named on
# stderr after the program's name, with status 2. The viewer answers --help
# and --version without a display, and lets Qt take its own options first.
#   CommandLineTest.sh VERSION VIEWER INSPECT SAMPLE_WORLD PUBLISH
set -euo pipefail
version=$1 viewer=$2 inspect=$3 sampleworld=$4 publish=$5
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export QT_QPA_PLATFORM=offscreen XDG_RUNTIME_DIR=$work/runtime
mkdir -m 700 "$XDG_RUNTIME_DIR"
failures=0

# check NAME STATUS STDOUT_START STDERR_START COMMAND...
check() {
  local name=$1 status=$2 out=$3 err=$4 actual=0
  shift 4
  "$@" >"$work/out" 2>"$work/err" || actual=$?
  # The x keeps a closing line feed from being dropped.
  if [ "$actual" -ne "$status" ] || [ "$(head -c ${#out} "$work/out"; echo x)" != "${out}x" ] ||
    [ "$(head -c ${#err} "$work/err"; echo x)" != "${err}x" ] || { [ -z "$err" ] && [ -s "$work/err" ]; }; then
    printf 'FAIL: %s: status %s\nstdout: %s\nstderr: %s\n' "$*" "$actual" "$(cat "$work/out")" "$(cat "$work/err")" >&2
    failures=$((failures + 1))
  fi
}

for program in "$viewer" "$inspect" "$sampleworld" "$publish"; do
  name=$(basename "$program")
  check "$name" 0 "$name $version"$'\n' "" env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$program" --version
  check "$name" 0 "usage: $name " "" env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$program" --help
done
check kelderwyn-make-sample-world 2 "" "kelderwyn-make-sample-world: unknown option '--bogus'"$'\n' "$sampleworld" --bogus
check kelderwyn-inspect 2 "" "kelderwyn-inspect: unknown option '--bogus'"$'\n' "$inspect" --bogus
check kelderwyn-publish 2 "" "kelderwyn-publish: unknown option '--bogus'"$'\n' "$publish" --bogus site
for command in render locations lint; do
  check "$command" 0 "usage: kelderwyn-inspect $command " "" "$inspect" "$command" --help
  check "$command" 2 "" "kelderwyn-inspect $command: unknown option '--bogus'"$'\n' "$inspect" "$command" --bogus
done
check kelderwyn-map 2 "" "kelderwyn-map: unknown option '--bogus'"$'\n' "$viewer" -style fusion --bogus

[ "$failures" -eq 0 ] || exit 1
echo "PASS: command lines"
