#!/usr/bin/env bash
# Runs every fuzz target of fuzz/ for SECONDS each (default 600), two at a
# time at low priority, starting from its seed corpus in fuzz/corpus/<name>/.
# New inputs go to fuzz-out/<name>/, crashes to fuzz-out/crashes/, the log of
# each run, with libFuzzer's final figures, to fuzz-out/<name>.log; fuzz-out/
# is not part of the repository. A crash input belongs in fuzz/corpus/<name>/
# and in a regression test once it is mended.
#
#   ./scripts/fuzz.sh [SECONDS] [TARGET...]
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/common.sh

seconds=${1:-600}
shift || true
kelderwyn_install_packages
kelderwyn_build_asan
kelderwyn_sanitizer_env

targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
  for source in fuzz/*.cpp; do
    targets+=("$(basename "$source" .cpp)")
  done
fi

mkdir -p fuzz-out/crashes
run() {
  local name=$1
  mkdir -p "fuzz-out/$name"
  if nice -n 10 "build-asan/fuzz/fuzz_$name" -max_total_time="$seconds" -timeout=20 -print_final_stats=1 \
      -artifact_prefix="fuzz-out/crashes/$name-" "fuzz-out/$name" "fuzz/corpus/$name" \
      >"fuzz-out/$name.log" 2>&1; then
    echo "$name: $(grep -E '^#[0-9]+[[:space:]]+DONE' "fuzz-out/$name.log" | tail -1)"
  else
    echo "$name: FAILED, see fuzz-out/$name.log and fuzz-out/crashes/"
    return 1
  fi
}

status=0
for ((i = 0; i < ${#targets[@]}; i += 2)); do
  pids=()
  for name in "${targets[@]:i:2}"; do
    run "$name" &
    pids+=($!)
  done
  for pid in "${pids[@]}"; do
    wait "$pid" || status=1
  done
done
exit $status
