#!/usr/bin/env bash
# Builds the whole suite with clang under ThreadSanitizer in build-tsan/ and
# runs it. Reports whose every frame lies in Qt or the system libraries below
# it are those libraries' own and are suppressed (scripts/tsan.supp); any
# report that reaches our code fails its test.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/common.sh

kelderwyn_install_packages
kelderwyn_build build-tsan RelWithDebInfo -DCMAKE_C_COMPILER=clang-14 -DCMAKE_CXX_COMPILER=clang++-14 \
  -DKELDERWYN_TSAN=ON -DKELDERWYN_BENCHMARKS=OFF
export TSAN_OPTIONS="halt_on_error=1:second_deadlock_stack=1:suppressions=$PWD/scripts/tsan.supp"
(cd build-tsan && ctest --output-on-failure --timeout 600 -j"$(nproc)")
