#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test with ctest: in a
# Release build (after building and checking the Debian package, so that the
# package test runs too), then once more there with every fast path running its
# plain twin (KELDERWYN_PLAIN=1, map/FastPaths.h), then built by clang under
# AddressSanitizer and UndefinedBehaviorSanitizer, which also runs each fuzz
# target for a few seconds.
# A test that runs for more than five minutes has hung and fails.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/common.sh

kelderwyn_install_packages

./scripts/package.sh
(cd build && ctest --output-on-failure --timeout 300 -j"$(nproc)")
(cd build && KELDERWYN_PLAIN=1 ctest --output-on-failure --timeout 300 -j"$(nproc)")

kelderwyn_build_asan
kelderwyn_sanitizer_env
(cd build-asan && ctest --output-on-failure --timeout 300 -j"$(nproc)")
