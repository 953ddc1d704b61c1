#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test with ctest: once in a
# Release build, once built by clang under AddressSanitizer and
# UndefinedBehaviorSanitizer, which also runs each fuzz target for a few seconds.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/common.sh

kelderwyn_install_packages

kelderwyn_build build Release
(cd build && ctest --output-on-failure -j"$(nproc)")

kelderwyn_build_asan
kelderwyn_sanitizer_env
(cd build-asan && ctest --output-on-failure -j"$(nproc)")
