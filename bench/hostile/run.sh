#!/usr/bin/env bash
# loopwren-cli on a macro of 10 million events (about 1.7 GB): how much memory `validate` and a short
# endless `play` take, and how fast the player stops on SIGTERM. Memory should stay near the loaded
# timeline itself (120 bytes an event) plus the file, which is mapped rather than copied.
# Too heavy for the test suite; run it by hand. Builds nothing: pass the build folder.
#
# usage: bench/hostile/run.sh [build-dir] [events]
#   HOSTILE_SCRATCH=folder  where the file is made (default $TMPDIR or /tmp); it is deleted afterwards
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
build=${1:-build}
events=${2:-10000000}
cli="$build/src/cli/loopwren-cli"
[[ -x "$cli" ]] || { echo "hostile: $cli is missing; build first" >&2; exit 2; }

scratch=$(mktemp -d "${HOSTILE_SCRATCH:-${TMPDIR:-/tmp}}/loopwren-hostile.XXXXXX")
trap 'rm -rf "$scratch"' EXIT
file="$scratch/big.json"

started=$(date +%s%N)
python3 "$here/generate.py" "$file" "$events"
awk -v n="$events" -v bytes="$(stat -c %s "$file")" -v ns=$(($(date +%s%N) - started)) \
    'BEGIN { printf "file       %d events, %.2f GB, written in %.1f s\n", n, bytes / 1e9, ns / 1e9 }'

python3 "$here/measure.py" "$scratch/validate.report" "$cli" validate "$file" >"$scratch/validate.out" 2>&1 || true
# shellcheck disable=SC1091
source "$scratch/validate.report"
awk -v out="$(tr -d '\n' <"$scratch/validate.out")" -v kib="$peak_kib" -v n="$events" -v s="$seconds" -v st="$status" \
    'BEGIN { printf "validate   \"%s\" (exit %d) in %.1f s, peak RSS %d MiB (%.0f B/event)\n", out, st, s, kib / 1024, kib * 1024 / n }'

XDG_CONFIG_HOME="$scratch/config" bash "$here/../../scripts/with-x11.sh" \
    bash "$here/play.sh" "$cli" "$file" "$events" "$scratch"
