#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test with ctest: once in a
# Release build, once under AddressSanitizer and UndefinedBehaviorSanitizer.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/common.sh

kelderwyn_install_packages

kelderwyn_build build Release
(cd build && ctest --output-on-failure -j"$(nproc)")

kelderwyn_build build-asan RelWithDebInfo -DKELDERWYN_SANITIZE=ON -DKELDERWYN_BENCHMARKS=OFF
(cd build-asan &&
  ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 \
  UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
  LSAN_OPTIONS=suppressions="$PWD/../scripts/lsan.supp" \
  ctest --output-on-failure -j"$(nproc)")
