#!/usr/bin/env bash
# Starts the real program offscreen in a temporary folder without one of its
# data files: it must end by itself, showing nothing, with exit code 1 and one
# line on stderr that names the file and the folder. With a folder named, it
# works there: it stays up on the map in that folder, and a folder that does
# not exist ends it with status 2 and one line on stderr.
#   StartupTest.sh PROGRAM no-map|no-locations|folder|no-folder
set -euo pipefail
program=$1
case_name=$2
work=$(cd "$(mktemp -d)" && pwd -P)
trap 'rm -rf "$work"' EXIT
cd "$work"
export QT_QPA_PLATFORM=offscreen XDG_RUNTIME_DIR=$work/runtime
mkdir -m 700 "$XDG_RUNTIME_DIR"

fail() {
  echo "FAIL: $*" >&2
  exit 1
}

# run MISSING_FILE
run() {
  local status=0
  timeout 20 "$program" >out.txt 2>err.txt || status=$?
  [ "$status" -ne 124 ] || fail "the program did not end within 20 s"
  [ "$status" -eq 1 ] || fail "exit code $status: $(cat err.txt)"
  [ "$(cat err.txt)" = "kelderwyn-map: $work holds no $1" ] || fail "stderr: $(cat err.txt)"
}

case $case_name in
  no-map)
    printf 'name: none\n' >knmain.gdb
    run bigmap_hi.jpg
    [ ! -e '~temp.bmp' ] || fail "~temp.bmp was created"
    # A temp file already there is left as it was: the pipeline never ran.
    printf 'placeholder' >'~temp.bmp'
    run bigmap_hi.jpg
    [ "$(cat '~temp.bmp')" = placeholder ] || fail "~temp.bmp was rewritten"
    ;;
  no-locations)
    { printf 'P6\n16 16\n255\n'; head -c 768 /dev/zero; } | cjpeg >bigmap_hi.jpg
    run knmain.gdb
    [ ! -e '~temp.bmp' ] || fail "~temp.bmp was left behind"
    ;;
  folder)
    mkdir world
    { printf 'P6\n16 16\n255\n'; head -c 768 /dev/zero; } | cjpeg >world/bigmap_hi.jpg
    printf '[loc]\nname: Mid\n-\n-\ntype: 0\n-\n-\npos:  0,0\n' >world/knmain.gdb
    mkdir elsewhere
    status=0
    (cd elsewhere && timeout 5 "$program" ../world) >out.txt 2>&1 || status=$?
    [ "$status" -eq 124 ] || fail "the window did not stay up on the map in the folder (status $status)"
    [ -z "$(ls -A elsewhere)" ] || fail "the working folder was written to"
    [ ! -e 'world/~temp.bmp' ] || fail "~temp.bmp was left behind"
    ;;
  no-folder)
    status=0
    "$program" missing >out.txt 2>err.txt || status=$?
    [ "$status" -eq 2 ] || fail "exit code $status for a folder that does not exist"
    [ "$(wc -l <err.txt)" -eq 1 ] && grep -q missing err.txt || fail "stderr: $(cat err.txt)"
    ;;
  *)
    fail "unknown case $case_name"
    ;;
esac
echo "PASS: $case_name"
