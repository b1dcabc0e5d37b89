#!/usr/bin/env bash
# Plays the same macro of COUNT clicks and keys from the window (the timeline shown, as a user plays it)
# and with loopwren-cli, ROUNDS times each, interleaved, and compares every interval that reached the X
# server with the macro's own: the median of the runs' medians and of their 99th percentiles, in ms.
#   bench/windowreplay/run.sh BUILD_DIR [ROUNDS] [COUNT]
set -euo pipefail
build=${1:?usage: $0 BUILD_DIR [rounds] [count]}
rounds=${2:-5}
count=${3:-1200}
here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d "${TMPDIR:-/tmp}/loopwren-replay.XXXXXX")
trap 'rm -rf "$work"' EXIT

cat >"$work/measure.sh" <<INNER
set -euo pipefail
tool=$build/bench/windowreplay/window_replay
cli=$build/src/cli/loopwren-cli
"\$tool" make "$work/macro.json" $count
median() { sort -n | awk '{ v[NR] = \$1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }
# Runs the player given as arguments while the probe logs; prints "median p99" of its intervals.
measure() {
    "\$tool" probe "$work/log" > "$work/probe.out" &
    local probe=\$!
    until grep -q probing "$work/probe.out" 2>/dev/null; do sleep 0.05; done
    "\$@" >/dev/null 2>&1
    sleep 0.3
    kill -TERM \$probe; wait \$probe
    "\$tool" stats "$work/macro.json" "$work/log" | awk '{ print \$4, \$6 }'
}
for round in \$(seq $rounds); do
    measure "\$tool" window "$work/macro.json" >>"$work/window"
    measure "\$cli" play "$work/macro.json" >>"$work/cli"
    echo "round \$round: window \$(tail -1 "$work/window"), cli \$(tail -1 "$work/cli")"
done
for who in window cli; do
    echo "\$who: median of medians \$(cut -d' ' -f1 "$work/\$who" | median) ms, median of p99s \$(cut -d' ' -f2 "$work/\$who" | median) ms"
done
INNER
session=()
command -v dbus-run-session >/dev/null && session=(dbus-run-session --)
XDG_CONFIG_HOME="$work" QT_QPA_PLATFORM=xcb bash "$here/../../scripts/with-x11.sh" "${session[@]}" bash "$work/measure.sh"
