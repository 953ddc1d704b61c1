#!/usr/bin/env bash
# Builds the Debian package: a Release build in build/, cpack (DEB), lintian
# (fails on errors), then the package test on the .deb. Prints the path of the
# package at the end.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/common.sh

# dpkg-dev brings dpkg-shlibdeps; file lets cpack find the programs to run it on.
kelderwyn_install_packages
kelderwyn_install_packages dpkg-dev file lintian

kelderwyn_build build Release

rm -f build/kelderwyn-map_*.deb
(cd build && cpack -G DEB)
deb=$(ls build/kelderwyn-map_*.deb)

echo "lintian $deb"
lintian --fail-on error --display-info "$deb"

bash tests/install/package_test.sh build "$deb"
echo "$deb"
