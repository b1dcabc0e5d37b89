#!/usr/bin/env bash
# Runs each fuzz target of a LOOPWREN_FUZZ build for a while, one after another, and fails if any of
# them crashes, leaks, hangs or breaks a property.
#   scripts/fuzz.sh BUILD_DIR SECONDS [TARGET...]     (default: every target)
# Each target starts from a scratch copy of its seed corpus under BUILD_DIR/fuzz-work/, so what the run
# discovers never lands in the repository; a failing input is kept there as crash-*, leak-* or
# timeout-*. Copy it into tests/fuzz/corpus/TARGET/ under a name that says what it is once it is fixed.
set -euo pipefail

[[ $# -ge 2 ]] || { echo "usage: $0 BUILD_DIR SECONDS [TARGET...]" >&2; exit 2; }
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "$1" && pwd)
seconds=$2
shift 2
targets=("$@")
[[ ${#targets[@]} -gt 0 ]] || targets=(macrofile hotkey versiondocument versioncompare)

# The inputs are small and allocate often: a smaller quarantine than ASan's 256 MB keeps freed memory warm
# (more than twice the executions per second here) and still catches a use after any recent free.
export ASAN_OPTIONS=${ASAN_OPTIONS:-quarantine_size_mb=32}

work="$build/fuzz-work"
mkdir -p "$work"
summary="$work/summary.txt"
: >"$summary"
failed=()

for target in "${targets[@]}"; do
    program="$build/tests/fuzz/${target}_fuzz"
    seeds="$root/tests/fuzz/corpus/$target"
    [[ -x "$program" ]] || { echo "missing $program: build the fuzz_targets target" >&2; exit 1; }
    [[ -d "$seeds" ]] || { echo "missing seed corpus $seeds" >&2; exit 1; }

    dir="$work/$target"
    rm -rf "$dir"
    mkdir -p "$dir/corpus" "$dir/artifacts"
    cp "$seeds"/* "$dir/corpus/"
    options=(-max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1
             -artifact_prefix="$dir/artifacts/")
    dict="$root/tests/fuzz/$target.dict"
    [[ -f "$dict" ]] && options+=(-dict="$dict")

    echo "== $target: $seconds s, log in $dir/fuzz.log"
    status=0
    # New inputs go to the scratch corpus (first folder); the seeds are only read.
    "$program" "${options[@]}" "$dir/corpus" >"$dir/fuzz.log" 2>&1 || status=$?

    last=$(grep -E '^#[0-9]+' "$dir/fuzz.log" | tail -n 1 || true)
    runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$dir/fuzz.log" | tail -n 1)
    time=$(sed -n 's/^Done [0-9]* runs in \([0-9]*\) second.*/\1/p' "$dir/fuzz.log" | tail -n 1)
    files=$(find "$dir/corpus" -type f | wc -l)
    line="$target: exit $status, runs ${runs:-?} in ${time:-?} s, corpus $files files; last: $last"
    echo "$line" | tee -a "$summary"
    if [[ $status -ne 0 ]] || compgen -G "$dir/artifacts/*" >/dev/null; then
        failed+=("$target")
        grep -E 'ERROR: |property broken|runtime error|SUMMARY' "$dir/fuzz.log" | head -n 10 || true
        ls "$dir/artifacts" || true
    fi
done

if [[ ${#failed[@]} -gt 0 ]]; then
    echo "fuzzing found faults in: ${failed[*]}" | tee -a "$summary" >&2
    exit 1
fi
echo "no faults found (summary in $summary)"
