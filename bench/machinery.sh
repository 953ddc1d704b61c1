#!/usr/bin/env bash
# What each fast path buys (map/FastPaths.h): runs the tracked window
# benchmarks (start-up, a zoom to each level, Go from level 0 to 6, peak
# memory; on the sample world and on 100,000 places) once with every fast
# path, once with the plain twin of each piece (KELDERWYN_PLAIN=piece), and
# once with every twin, and prints each measure's median and its ratio to the
# run with every fast path. The runs of one round follow each other, so that
# a busy machine slows them alike; ROUNDS rounds (default 1) are pooled.
#
#   bench/machinery.sh [BUILD_DIR] [PIECE...]
#
# Results go to BUILD_DIR/machinery/ (one JSON file per benchmark and run).
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
shift || true
pieces=("$@")
[ ${#pieces[@]} -gt 0 ] || pieces=(kernels blend threads hugepages pool ahead tiles labels)
configs=(fast "${pieces[@]}" 1)
rounds=${ROUNDS:-1}
out=$(realpath "$build")/machinery
mkdir -p "$out"
export QT_QPA_PLATFORM=offscreen

benches=(
  "ui_startup:BM_StartupToFirstPaint"
  "ui_apply_zoom:BM_ApplyZoomLevel"
  "ui_go:BM_GoFromLevel0ToLevel6"
  "ui_memory:BM_PeakResidentSize"
)
for ((round = 1; round <= rounds; ++round)); do
  for config in "${configs[@]}"; do
    plain=$config
    [ "$config" != fast ] || plain=0
    for entry in "${benches[@]}"; do
      bench=${entry%%:*}
      echo "round $round: $bench with KELDERWYN_PLAIN=$plain" >&2
      KELDERWYN_PLAIN=$plain "$build/bench/bench_$bench" --benchmark_filter="${entry#*:}" \
        --benchmark_out="$out/$bench-$config-$round.json" --benchmark_out_format=json >/dev/null
    done
  done
done

python3 - "$out" "${configs[@]}" <<'PY'
import glob, json, statistics, sys
out, configs = sys.argv[1], sys.argv[2:]
values = {}  # (measure, config) -> [values]
for config in configs:
    for path in glob.glob(f"{out}/*-{config}-*.json"):
        for b in json.load(open(path))["benchmarks"]:
            if b.get("aggregate_name") != "median":
                continue
            name = b["run_name"].split("/iterations")[0].split("/repeats")[0]
            if "PeakResidentSize" in name:
                values.setdefault((name + " above_MB", config), []).append(b["above_MB"])
            else:
                values.setdefault((name + " ms", config), []).append(b["real_time"])
measures = sorted({m for m, _ in values})
print("| measure | " + " | ".join(configs) + " |")
print("|---" * (len(configs) + 1) + "|")
for m in measures:
    base = statistics.median(values.get((m, "fast"), [float("nan")]))
    cells = []
    for c in configs:
        v = values.get((m, c))
        if not v:
            cells.append("")
            continue
        med = statistics.median(v)
        cells.append(f"{med:.3g}" if c == "fast" else f"{med:.3g} ({med / base:.2f}x)")
    print(f"| {m} | " + " | ".join(cells) + " |")
PY
