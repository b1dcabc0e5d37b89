#!/usr/bin/env bash
# Times the macro file codec against Python's json module on the same recording-sized file.
# Builds nothing: pass the path of a built macrofile_bench (a Release or RelWithDebInfo build).
#
# usage: bench/macrofile/run.sh <path/to/macrofile_bench> [runs] [events]
set -euo pipefail

bench=${1:?usage: run.sh <path/to/macrofile_bench> [runs] [events]}
runs=${2:-5}
events=${3:-1000000}

file=$(mktemp --suffix=.json)
output=$(mktemp)
trap 'rm -f "$file" "$output"' EXIT

"$bench" --runs "$runs" --events "$events" --file "$file" | tee "$output"
ours=$(sed -n 's/^RESULT read_median_s=//p' "$output")

python_median=$(python3 - "$file" "$runs" <<'PY'
import json, statistics, sys, time
path, runs = sys.argv[1], int(sys.argv[2])
times = []
for _ in range(runs):
    start = time.perf_counter()
    with open(path, "rb") as f:
        data = json.load(f)
    times.append(time.perf_counter() - start)
    del data
print(f"{statistics.median(times):.4f}")
PY
)

echo "python json.load  ${python_median} s (median of ${runs})"
echo "read speed-up     $(python3 -c "print(f'{${python_median} / ${ours}:.1f}')")x (python / ours)"
