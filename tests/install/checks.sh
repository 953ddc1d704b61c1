# Checks shared by install_test.sh and package_test.sh: the installed tree under
# ROOT/usr, as `cmake --install` or the .deb lays it out. Sourced after the
# build's packaging/InstallLayout.sh.

failures=0

fail() {
  echo "FAIL: $*" >&2
  failures=$((failures + 1))
}

skip() {
  echo "SKIP: $*"
}

# expected_files [debian]: the files an install holds, relative to ROOT, sorted;
# with "debian" also those of the component only the package carries.
expected_files() {
  local app=$KELDERWYN_APP_ID doc=usr/share/doc/$KELDERWYN_PACKAGE_NAME
  {
    echo usr/bin/kelderwyn-inspect
    echo usr/share/man/man1/kelderwyn-inspect.1.gz
    if [ "${KELDERWYN_HAS_PUBLISH-0}" = 1 ]; then
      echo usr/bin/kelderwyn-publish
      echo usr/share/man/man1/kelderwyn-publish.1.gz
    fi
    if [ -n "$KELDERWYN_SAMPLE_WORLD_PROGRAM" ]; then
      echo usr/bin/kelderwyn-make-sample-world
      echo usr/share/man/man1/kelderwyn-make-sample-world.1.gz
    fi
    echo "$doc/copyright"
    echo "$doc/README.md.gz"
    if [ "${1-}" = debian ]; then
      echo "$doc/changelog.Debian.gz"
      echo "usr/share/lintian/overrides/$KELDERWYN_PACKAGE_NAME"
    fi
    if [ "$KELDERWYN_HAS_VIEWER" = 1 ]; then
      echo usr/bin/kelderwyn-map
      echo usr/share/man/man1/kelderwyn-map.1.gz
      echo "usr/share/applications/$app.desktop"
      echo "usr/share/metainfo/$app.metainfo.xml"
      if [ "$KELDERWYN_HAS_ICONS" = 1 ]; then
        echo "usr/share/icons/hicolor/16x16/apps/$app.png"
        echo "usr/share/icons/hicolor/32x32/apps/$app.png"
        echo "usr/share/icons/hicolor/scalable/apps/$app.svg"
      fi
    fi
  } | LC_ALL=C sort
}

installed_files() {
  (cd "$1" && find . ! -type d | sed 's|^\./||' | LC_ALL=C sort)
}

# check_gzip_reproducible FILE: compressed without a name or a time stamp.
check_gzip_reproducible() {
  local header
  header=$(od -An -tu1 -N8 "$1" | tr -s ' ')
  set -- "$1" $header
  [ "$2 $3" = "31 139" ] || { fail "$1 is not gzip-compressed"; return; }
  [ $(($5 & 8)) -eq 0 ] || fail "$1 stores a file name (use gzip -n)"
  [ "$6 $7 $8 $9" = "0 0 0 0" ] || fail "$1 stores a time stamp (use gzip -n)"
}

# first_line FILE.gz: sed reads the whole stream, so gzip never meets a closed
# pipe; `gzip -dc | head -n 1` fails now and then under pipefail.
first_line() {
  gzip -dc "$1" 2>/dev/null | sed -n 1p
}

# check_png_size FILE SIZE: a square PNG of SIZE pixels.
check_png_size() {
  local width height
  width=$(od -An -tu1 -j16 -N4 "$1" | awk '{ print $1 * 16777216 + $2 * 65536 + $3 * 256 + $4 }')
  height=$(od -An -tu1 -j20 -N4 "$1" | awk '{ print $1 * 16777216 + $2 * 65536 + $3 * 256 + $4 }')
  [ "$width x $height" = "$2 x $2" ] || fail "$1 is $width x $height, expected $2 x $2"
}

# check_files ROOT [debian]: ROOT holds exactly the expected files.
check_files() {
  local unexpected missing
  unexpected=$(LC_ALL=C comm -13 <(expected_files "${2-}") <(installed_files "$1"))
  missing=$(LC_ALL=C comm -23 <(expected_files "${2-}") <(installed_files "$1"))
  [ -z "$missing" ] || fail "missing from $1:"$'\n'"$missing"
  [ -z "$unexpected" ] || fail "not expected in $1:"$'\n'"$unexpected"
  return 0
}

# check_tree ROOT: a complete install, the package's own files included.
check_tree() {
  local root=$1 app=$KELDERWYN_APP_ID
  local doc=$root/usr/share/doc/$KELDERWYN_PACKAGE_NAME

  check_files "$root" debian

  local program
  for program in kelderwyn-inspect kelderwyn-map kelderwyn-make-sample-world kelderwyn-publish; do
    [ ! -e "$root/usr/bin/$program" ] || [ -x "$root/usr/bin/$program" ] || fail "$program is not executable"
  done

  local page first
  for page in "$root"/usr/share/man/man1/*.1.gz "$doc/changelog.Debian.gz" "$doc/README.md.gz"; do
    [ -f "$page" ] && check_gzip_reproducible "$page"
  done
  # One version everywhere: the programs' --version prints the project's too.
  for page in "$root"/usr/share/man/man1/*.1.gz; do
    [ -f "$page" ] || continue
    first=$(first_line "$page")
    [[ "$first" == *"\"Kelderwyn Map $KELDERWYN_VERSION\""* ]] ||
      fail "$page does not name version $KELDERWYN_VERSION: $first"
  done
  [ "$(first_line "$doc/README.md.gz")" = "# Kelderwyn Map" ] || fail "$doc/README.md.gz is not the README"
  if command -v groff >/dev/null; then
    local warnings
    for page in "$root"/usr/share/man/man1/*.1.gz; do
      [ -f "$page" ] || continue
      warnings=$(gzip -dc "$page" | LC_ALL=C.UTF-8 groff -man -ww -z -Tutf8 2>&1) || fail "$page does not render"
      [ -z "$warnings" ] || fail "$page renders with warnings:"$'\n'"$warnings"
    done
  else
    skip "groff is not installed: the manual pages were not rendered"
  fi

  local changelog_version
  changelog_version=$(gzip -dc "$doc/changelog.Debian.gz" 2>/dev/null | sed -n '1s/^[^ ]* (\([^)]*\)).*/\1/p')
  case $changelog_version in
    "$KELDERWYN_VERSION"-*) ;;
    *) fail "changelog.Debian.gz starts at version '$changelog_version', the project is $KELDERWYN_VERSION" ;;
  esac

  # The desktop entry and the metadata are checked where they are installed,
  # else in the source tree, so that a build without the viewer checks them too.
  local desktop=$root/usr/share/applications/$app.desktop
  local metainfo=$root/usr/share/metainfo/$app.metainfo.xml
  [ -f "$desktop" ] || desktop=$KELDERWYN_SOURCE_DIR/desktop/$app.desktop
  [ -f "$metainfo" ] || metainfo=$KELDERWYN_SOURCE_DIR/desktop/$app.metainfo.xml

  if command -v desktop-file-validate >/dev/null; then
    local report
    # Hints and warnings do not change its exit status; any output is a finding.
    if ! report=$(desktop-file-validate "$desktop" 2>&1) || [ -n "$report" ]; then
      fail "desktop-file-validate $desktop:"$'\n'"$report"
    fi
  else
    skip "desktop-file-validate is not installed (package desktop-file-utils): $desktop not validated"
  fi
  if command -v appstreamcli >/dev/null; then
    local report
    report=$(appstreamcli validate --no-net --no-color "$metainfo" 2>&1) ||
      fail "appstreamcli validate $metainfo:"$'\n'"$report"
  else
    skip "appstreamcli is not installed (package appstream): $metainfo not validated"
  fi

  grep -qx "Exec=kelderwyn-map --desktop" "$desktop" || fail "$desktop does not start kelderwyn-map --desktop"
  grep -qx "Icon=$app" "$desktop" || fail "$desktop does not name the icon $app"
  grep -q "<launchable type=\"desktop-id\">$app.desktop</launchable>" "$metainfo" ||
    fail "$metainfo does not launch $app.desktop"
  grep -q "<release version=\"$KELDERWYN_VERSION\"" "$metainfo" ||
    fail "$metainfo has no release $KELDERWYN_VERSION"

  local icons=$root/usr/share/icons/hicolor
  if [ -f "$icons/16x16/apps/$app.png" ]; then
    check_png_size "$icons/16x16/apps/$app.png" 16
    check_png_size "$icons/32x32/apps/$app.png" 32
    grep -q "<svg" "$icons/scalable/apps/$app.svg" || fail "$icons/scalable/apps/$app.svg is not SVG"
  fi
  return 0
}
