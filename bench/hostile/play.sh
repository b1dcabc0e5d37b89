#!/usr/bin/env bash
# The play half of run.sh, inside its X session: starts an endless playback of the big file, samples
# the player's memory from /proc until the playback has begun (the pointer reaches the first event's
# position) and for a few seconds more, then stops it with SIGTERM and checks nothing is held.
#
# usage: play.sh CLI FILE EVENTS SCRATCH
set -euo pipefail
cli=$1 file=$2 events=$3 scratch=$4
here=$(cd "$(dirname "$0")" && pwd)
readonly PLAY_SECONDS=3
readonly LOAD_TIMEOUT_S=300

field() { sed -n "s/^$1:[[:space:]]*\([0-9]*\) kB/\1/p" "/proc/$2/status" 2>/dev/null || true; }
now_ms() { echo $(($(date +%s%N) / 1000000)); }

python3 "$here/measure.py" "$scratch/play.report" "$cli" play "$file" --infinite >"$scratch/play.out" 2>&1 &
measure_pid=$!
player=""
for _ in $(seq 200); do
    player=$(cat "$scratch/play.report.pid" 2>/dev/null || true)
    [[ -n "$player" ]] && break
    sleep 0.05
done
[[ -n "$player" ]] || { echo "hostile: the player did not start" >&2; exit 1; }

start=$(now_ms)
max_anon=0
sample() {
    local anon
    anon=$(field RssAnon "$player")
    if [[ -n "$anon" ]] && ((anon > max_anon)); then max_anon=$anon; fi
}
# The first event moves the pointer to (7, 7) of the primary monitor, which with-x11.sh puts at +200+100,
# and the second keeps it there for two seconds.
began=""
while [[ -z "$began" ]]; do
    sample
    kill -0 "$player" 2>/dev/null || { echo "hostile: the player ended while loading:"; cat "$scratch/play.out"; exit 1; }
    [[ "$(xdotool getmouselocation --shell | head -2 | tr '\n' ' ')" == "X=207 Y=107 " ]] && began=$(now_ms)
    (($(now_ms) - start < LOAD_TIMEOUT_S * 1000)) || { echo "hostile: no playback after $LOAD_TIMEOUT_S s"; exit 1; }
    sleep 0.1
done
for _ in $(seq $((PLAY_SECONDS * 10))); do
    sample
    sleep 0.1
done
rss=$(field VmRSS "$player") anon=$(field RssAnon "$player") filed=$(field RssFile "$player") hwm=$(field VmHWM "$player")

stop=$(now_ms)
kill -TERM "$player"
while kill -0 "$player" 2>/dev/null; do sleep 0.002; done
stopped=$(now_ms)
wait "$measure_pid" || true
# shellcheck disable=SC1091
source "$scratch/play.report"
held=$(python3 "$here/heldinput.py")

awk -v load=$((began - start)) -v play=$PLAY_SECONDS -v rss="$rss" -v anon="$anon" -v filed="$filed" -v n="$events" \
    'BEGIN { printf "play       began %.1f s after the start; %d s later: VmRSS %d MiB = anonymous %d MiB (%.0f B/event) + file %d MiB\n",
             load / 1000, play, rss / 1024, anon / 1024, anon * 1024 / n, filed / 1024 }'
awk -v hwm="$hwm" -v anon="$max_anon" -v peak="$peak_kib" -v n="$events" \
    'BEGIN { printf "play       peak RSS %d MiB (%.0f B/event; VmHWM %d MiB), peak anonymous %d MiB (%.0f B/event)\n",
             peak / 1024, peak * 1024 / n, hwm / 1024, anon / 1024, anon * 1024 / n }'
echo "stop       SIGTERM to exit $((stopped - stop)) ms, exit status $status, held after: $held"
