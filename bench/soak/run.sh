#!/usr/bin/env bash
# Plays a generated 200-event macro endlessly with loopwren-cli for SOAK_MINUTES (default 30) in a
# private X session, checks every pass against what the server received, samples the player's memory
# every 10 s, then stops it with SIGTERM and checks that no key or button is left held.
# Builds nothing: pass the build folder (default build) of a RelWithDebInfo or Release build.
#
# usage: SOAK_MINUTES=30 bench/soak/run.sh [build-dir]
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
build=${1:-build}
minutes=${SOAK_MINUTES:-30}
bench="$build/bench/soak/soak_bench"
cli="$build/src/cli/loopwren-cli"
for program in "$bench" "$cli"; do
    [[ -x "$program" ]] || { echo "soak: $program is missing; build first" >&2; exit 2; }
done

exec bash "$here/../../scripts/with-x11.sh" "$bench" --minutes "$minutes" --cli "$cli"
