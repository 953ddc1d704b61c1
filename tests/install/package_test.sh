#!/usr/bin/env bash
# package_test.sh BUILD_DIR [PACKAGE.deb]: unpacks the Debian package into a
# temporary root (dpkg-deb -x, the system is not touched), checks its files and
# control fields, and starts the packaged viewer on a sample world.
#
# Without PACKAGE.deb it tests the package that scripts/package.sh left in
# BUILD_DIR, and reports itself skipped (exit 77) when there is none or when it
# is older than the programs of the build or the packaging files.
#
# "It came up" is judged from outside: with QT_QPA_PLATFORM=offscreen the viewer
# must still be running once its start-up has deleted "~temp.bmp" again (the
# window is shown and the map decoded); in a folder without the map it must end
# by itself with exit code 1 and one line on stderr, while the desktop entry's
# command, for a new user with an empty home folder, must stay up with its
# dialog.
set -euo pipefail
build=$(cd "$1" && pwd)
source "$build/packaging/InstallLayout.sh"
source "$KELDERWYN_SOURCE_DIR/tests/install/checks.sh"

if [ $# -ge 2 ]; then
  deb=$2
else
  deb=$(ls -t "$build/${KELDERWYN_PACKAGE_NAME}"_*.deb 2>/dev/null | head -n 1 || true)
  if [ -z "$deb" ]; then
    skip "no package in $build (scripts/package.sh builds one)"
    exit 77
  fi
  newer=$(find "$build/tools/kelderwyn-inspect" "$build/tools/kelderwyn-make-sample-world" "$build/ui/kelderwyn-map" \
    "$build/tools/kelderwyn-publish" \
    "$KELDERWYN_SOURCE_DIR/desktop" "$KELDERWYN_SOURCE_DIR/packaging" "$KELDERWYN_SOURCE_DIR/resources" \
    "$KELDERWYN_SOURCE_DIR/README.md" -newer "$deb" -print -quit 2>/dev/null || true)
  if [ -n "$newer" ]; then
    skip "$deb is older than $newer (scripts/package.sh builds a new one)"
    exit 77
  fi
fi

tmp=$(mktemp -d)
viewer_pid=
cleanup() {
  [ -z "$viewer_pid" ] || kill "$viewer_pid" 2>/dev/null || true
  rm -rf "$tmp"
}
trap cleanup EXIT

dpkg-deb -x "$deb" "$tmp/root"
check_tree "$tmp/root"

# The package holds exactly what the install rules install.
DESTDIR=$tmp/install cmake --install "$build" --prefix /usr >/dev/null
DESTDIR=$tmp/install cmake --install "$build" --prefix /usr --component debian >/dev/null
difference=$(diff <(installed_files "$tmp/install") <(installed_files "$tmp/root")) ||
  fail "the package differs from cmake --install (< install, > package):"$'\n'"$difference"

field() { dpkg-deb -f "$deb" "$1"; }
[ "$(field Package)" = "$KELDERWYN_PACKAGE_NAME" ] || fail "package name $(field Package)"
case $(field Version) in
  "$KELDERWYN_VERSION"-*) ;;
  *) fail "package version $(field Version), the project is $KELDERWYN_VERSION" ;;
esac
changelog_version=$(gzip -dc "$tmp/root/usr/share/doc/$KELDERWYN_PACKAGE_NAME/changelog.Debian.gz" |
  sed -n '1s/^[^ ]* (\([^)]*\)).*/\1/p')
[ "$changelog_version" = "$(field Version)" ] ||
  fail "changelog.Debian.gz is at $changelog_version, the package at $(field Version)"

# Dependencies: the shared libraries found by dpkg-shlibdeps, plus the ones
# no library link shows.
depends=$(field Depends)
required=(libc6 fonts-dejavu-core)
[ "$KELDERWYN_HAS_VIEWER" = 1 ] && required+=(libjpeg62-turbo libqt6widgets6 qt6-qpa-plugins)
[ "${KELDERWYN_HAS_PUBLISH-0}" = 1 ] && required+=(libjs-leaflet)
for package in "${required[@]}"; do
  grep -Eq "(^|, )$package( |,|$)" <<<"$depends" || fail "Depends lacks $package: $depends"
done
[ -n "$(field Maintainer)" ] || fail "no Maintainer"
[ -n "$(field Section)" ] || fail "no Section"

"$tmp/root/usr/bin/kelderwyn-inspect" --help >/dev/null || fail "the packaged kelderwyn-inspect --help failed"
[ ! -e "$tmp/root/usr/bin/kelderwyn-publish" ] || "$tmp/root/usr/bin/kelderwyn-publish" --help >/dev/null ||
  fail "the packaged kelderwyn-publish --help failed"

viewer=$tmp/root/usr/bin/kelderwyn-map
if [ ! -x "$viewer" ]; then
  skip "the package holds no kelderwyn-map: the viewer was not started"
elif [ -z "$KELDERWYN_SAMPLE_WORLD_PROGRAM" ] || [ ! -x "$KELDERWYN_SAMPLE_WORLD_PROGRAM" ]; then
  skip "kelderwyn-make-sample-world is not built: the viewer was not started"
else
  export QT_QPA_PLATFORM=offscreen

  mkdir "$tmp/empty"
  status=0
  (cd "$tmp/empty" && timeout 20 "$viewer") >"$tmp/empty.log" 2>&1 || status=$?
  [ "$status" -eq 1 ] || fail "without bigmap_hi.jpg the viewer ended with $status, not 1:"$'\n'"$(cat "$tmp/empty.log")"
  [ ! -e "$tmp/empty/~temp.bmp" ] || fail "without bigmap_hi.jpg the viewer left ~temp.bmp"

  home=$tmp/home
  mkdir "$home"
  command=$(sed -n 's/^Exec=//p' "$tmp/root/usr/share/applications/$KELDERWYN_APP_ID.desktop")
  status=0
  (cd "$home" && export HOME=$home XDG_CONFIG_HOME=$home/.config XDG_DATA_HOME=$home/.local/share \
    PATH="$tmp/root/usr/bin:$PATH" && timeout 5 $command) >"$tmp/desktop.log" 2>&1 || status=$?
  [ "$status" -eq 124 ] ||
    fail "'$command' ended with $status in an empty home folder:"$'\n'"$(cat "$tmp/desktop.log")"

  world=$tmp/world
  mkdir "$world"
  "$KELDERWYN_SAMPLE_WORLD_PROGRAM" "$world" >/dev/null
  (cd "$world" && exec "$viewer") >"$tmp/viewer.log" 2>&1 &
  viewer_pid=$!
  # Start-up writes ~temp.bmp and deletes it before the first paint; wait for
  # the first moment it is gone after the program has had time to write it.
  sleep 2
  for _ in $(seq 1 40); do
    [ -e "$world/~temp.bmp" ] || break
    sleep 0.5
  done
  sleep 1
  if ! kill -0 "$viewer_pid" 2>/dev/null; then
    status=0
    wait "$viewer_pid" || status=$?
    viewer_pid=
    fail "the viewer ended by itself with $status on the sample world:"$'\n'"$(cat "$tmp/viewer.log")"
  else
    [ ! -e "$world/~temp.bmp" ] || fail "the viewer still has ~temp.bmp after 22 s"
    kill "$viewer_pid"
    wait "$viewer_pid" || true
    viewer_pid=
    echo "the packaged viewer is up on the sample world"
  fi
fi

[ "$failures" -eq 0 ] || { echo "$failures check(s) failed" >&2; exit 1; }
echo "package $deb complete"
