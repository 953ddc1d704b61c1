#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test with ctest.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/common.sh

kelderwyn_install_packages
kelderwyn_build build Release
(cd build && ctest --output-on-failure -j"$(nproc)")
