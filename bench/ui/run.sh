#!/usr/bin/env bash
# The window's timings, each the median of RUNS runs, under Xvfb like a desktop session:
#   bench/ui/run.sh BUILD_DIR/bench/ui/ui_bench [RUNS]
set -euo pipefail
bench=${1:?usage: $0 path/to/ui_bench [runs]}
runs=${2:-5}
here=$(cd "$(dirname "$0")" && pwd)
config=$(mktemp -d "${TMPDIR:-/tmp}/loopwren-bench.XXXXXX")
trap 'rm -rf "$config"' EXIT

cat >"$config/measure.sh" <<INNER
set -euo pipefail
median() { sort -n | awk '{ v[NR] = \$1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }
measure() {
    local name=\$1; shift
    local values=()
    for _ in \$(seq $runs); do
        values+=("\$("\$@" | awk '{ print \$2 }')")
    done
    printf '%s: median %s of %s\n' "\$name" "\$(printf '%s\n' "\${values[@]}" | median)" "\${values[*]}"
}
launch() { "$bench" startup "\$(date +%s%N)"; }
measure "cold start to first frame (ms)" launch
measure "100000-event file to first frame (ms)" "$bench" load 100000
measure "main thread busy while recording 1000 events/s for 10 s (%)" "$bench" record 1000 10
INNER
# A desktop session has a D-Bus session bus; without one Qt's accessibility bridge tries to start a bus
# at window creation, a cost no user sees. So the harness runs inside a private bus when it can.
session=()
command -v dbus-run-session >/dev/null && session=(dbus-run-session --)
XDG_CONFIG_HOME="$config" QT_QPA_PLATFORM=xcb bash "$here/../../scripts/with-x11.sh" "${session[@]}" bash "$config/measure.sh"
