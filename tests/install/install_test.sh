#!/usr/bin/env bash
# install_test.sh BUILD_DIR: `cmake --install` into a temporary root (DESTDIR,
# prefix /usr, as the package lays it out), first plain, then with the component
# "debian" that the package adds, puts every file in place, the desktop
# entry and the AppStream metadata validate, the manual pages render without a
# warning, and the installed kelderwyn-inspect runs.
set -euo pipefail
build=$(cd "$1" && pwd)
source "$build/packaging/InstallLayout.sh"
source "$KELDERWYN_SOURCE_DIR/tests/install/checks.sh"

tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT

run_install() {
  DESTDIR=$tmp/root cmake --install "$build" --prefix /usr "$@" >"$tmp/install.log" ||
    { cat "$tmp/install.log" >&2; exit 1; }
}
# A plain install leaves out the files only the Debian package carries.
run_install
check_files "$tmp/root"
run_install --component debian
check_tree "$tmp/root"

usage=$("$tmp/root/usr/bin/kelderwyn-inspect" --help) || fail "the installed kelderwyn-inspect --help failed"
grep -q "kelderwyn-inspect render" <<<"$usage" || fail "kelderwyn-inspect --help prints no usage"

[ "$failures" -eq 0 ] || { echo "$failures check(s) failed" >&2; exit 1; }
echo "install tree complete"
