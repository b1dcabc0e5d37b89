#!/bin/bash
# A library macro's schedule kept by a real user systemd manager: run as root by `run-vm.sh --systemd`,
# with a test user who logs in on tty1 through pam_systemd, which starts the user's manager. The user
# imports a macro that types a few keys and schedules it with the build's loopwren-cli; the units must
# pass systemd's own check, the next run the library lists must be the manager's and systemd-analyze's,
# the timer must fire with LoopWren's window nowhere and the keys come out of the replay device; removing
# the macro takes the timer away.
#   schedule_vm_check.sh BUILD_DIR
set -uo pipefail
build=$(cd "$1" && pwd)
cli=$build/src/cli/loopwren-cli
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
dir=/run/lwsched
failures=0

ok() { echo "ok   $*"; }
bad() { echo "FAIL $*"; failures=$((failures + 1)); }
# Runs a command in the test user's login session, through the driver started there; ID names its output.
in_session() {
    local id=$1
    shift
    printf '%s %s\n' "$id" "$*" >"$dir/in"
    until [[ -e $dir/$id.status ]]; do sleep 0.2; done
    sed "s/^/    [$id] /" "$dir/$id.out"
}
succeeded() { [[ $(cat "$dir/$1.status") == 0 ]]; }
minute() { grep -oE '[0-9]{4}-[0-9]{2}-[0-9]{2} [0-9]{2}:[0-9]{2}' "$1" | head -n 1; }

# /dev/uinput for the active session's user, as the package's rule gives it.
cp "$here/../../../data/60-loopwren-uinput.rules" /etc/udev/rules.d/ || exit 1
udevadm control --reload && udevadm trigger --action=change --sysname-match=uinput && udevadm settle
useradd -m -u 1503 -s /bin/bash lwsched || exit 1


mkdir -m 0700 "$dir" && chown lwsched: "$dir" && mkfifo -m 0600 "$dir/in" && chown lwsched: "$dir/in"
systemd-run --quiet --unit=lwsched-session -p PAMName=login -p User=lwsched -p TTYPath=/dev/tty1 \
    -p StandardInput=tty-force -p StandardOutput=journal -p StandardError=journal \
    /bin/bash -c "cd $dir; echo up >up; while :; do read -r id cmd <in || continue; bash -c \"\$cmd\" >\$id.out 2>&1 </dev/null; echo \$? >\$id.status; done"
until [[ -s $dir/up ]]; do sleep 0.2; done
in_session manager 'until [[ $(systemctl --user is-system-running --wait) =~ ^(running|degraded)$ ]]; do sleep 0.5; done' 

# A, S and D after a lead-in that leaves the reader time to open the device.
cat >"$dir/keys.json" <<'JSON'
[{"id":"00000000-0000-0000-0000-000000000001","type":"keyDown","keyCode":0,"delaySincePrevious":5},
 {"id":"00000000-0000-0000-0000-000000000002","type":"keyUp","keyCode":0,"delaySincePrevious":0.05},
 {"id":"00000000-0000-0000-0000-000000000003","type":"keyDown","keyCode":1,"delaySincePrevious":0.05},
 {"id":"00000000-0000-0000-0000-000000000004","type":"keyUp","keyCode":1,"delaySincePrevious":0.05},
 {"id":"00000000-0000-0000-0000-000000000005","type":"keyDown","keyCode":2,"delaySincePrevious":0.05},
 {"id":"00000000-0000-0000-0000-000000000006","type":"keyUp","keyCode":2,"delaySincePrevious":0.05}]
JSON
chmod 0644 "$dir/keys.json"
in_session doctor "$cli doctor"
grep -qF "ok  schedules: kept by your systemd user manager" "$dir/doctor.out" &&
    ok "the doctor says the user manager keeps schedules" || bad "the doctor's schedules line"
in_session import "$cli library import $dir/keys.json Keys"

# What the replay device sends, read as root from the moment it appears until it goes (the doctor's
# device has come and gone by now).
/usr/bin/python3 - >/run/lwreplay.keys 2>&1 <<'PY' &
import glob, time
from evdev import InputDevice, ecodes
def replay():
    for node in glob.glob("/dev/input/event*"):
        try:
            device = InputDevice(node)
        except OSError:
            continue
        if device.name == "LoopWren virtual input":
            return device
        device.close()
while not (device := replay()):
    time.sleep(0.02)
try:
    for event in device.read_loop():
        if event.type == ecodes.EV_KEY:
            print(f"{event.code}:{event.value}", flush=True)
except OSError:
    print("gone", flush=True)
PY
reader=$!

# Once, at the start of a minute at least two minutes ahead (the commands are slow under emulation): a
# calendar time all three must agree on.
at=$(date -d "+3 minutes" +%Y-%m-%dT%H:%M)
in_session schedule "$cli library schedule Keys once $at"
succeeded schedule && ok "scheduled once at $at" || bad "scheduling once"
units=(/home/lwsched/.config/systemd/user/loopwren-macro-*)
in_session verify "systemd-analyze --user verify --man=no ${units[*]}"
succeeded verify && ((${#units[@]} == 2)) && ok "the units pass systemd-analyze --user verify: ${units[*]##*/}" ||
    bad "the units: ${units[*]}"
unit=$(basename "${units[0]%.*}")
in_session list "$cli library list"
in_session timers "systemctl --user list-timers --all --no-pager $unit.timer"
in_session calendar "systemd-analyze calendar '${at/T/ }'"
listed=$(minute "$dir/list.out")
[[ -n $listed && $listed == "${at/T/ }" && $listed == "$(minute "$dir/timers.out")" &&
    $listed == "$(minute <(grep 'Next elapse' "$dir/calendar.out"))" ]] &&
    ok "library list, list-timers and systemd-analyze calendar agree on $listed" ||
    bad "the next runs differ"

# The manager starts the service by itself; the keys come out of the replay device. A run that failed
# ends the wait (its journal follows below); otherwise the bound is the VM's timeout.
for ((second = 1; ; ++second)); do
    grep -q gone /run/lwreplay.keys && break
    if ((second % 15 == 0)); then
        in_session "state$second" "systemctl --user show -p Result $unit.service" >/dev/null
        grep -qx "Result=success" "$dir/state$second.out" || break
    fi
    sleep 1
done
keys=$(grep -E '^[0-9]+:[01]$' /run/lwreplay.keys | tr '\n' ' ')
[[ $keys == "30:1 30:0 31:1 31:0 32:1 32:0 " ]] && ok "the scheduled run typed A, S and D" ||
    { bad "the replay device sent: $keys"; cat /run/lwreplay.keys; }
in_session result "systemctl --user show -p Result -p ExecMainStatus $unit.service"
grep -qx "Result=success" "$dir/result.out" && ok "the service ended well" ||
    { bad "the service's result"; journalctl --no-pager -o cat "_SYSTEMD_USER_UNIT=$unit.service"; }

# Changed to every minute over the elapsed once: it counts from now, then the macro removed takes the
# timer with it.
in_session every "$cli library schedule Keys every 1 && systemctl --user list-timers --all --no-pager"
succeeded every && grep -qE "next run [0-9]{4}-" "$dir/every.out" && grep -qF "$unit.timer" "$dir/every.out" &&
    ok "every minute, after the once, has a next run" || bad "scheduling every minute after the once"
in_session remove "$cli library remove Keys && systemctl --user list-timers --all --no-pager && ls ~/.config/systemd/user"
succeeded remove && ! grep -qF "$unit" "$dir/remove.out" && ok "removing the macro took its units away" ||
    bad "removing the macro"
kill "$reader" 2>/dev/null

((failures == 0)) && echo "schedule VM check: all passed" || echo "schedule VM check: $failures failed"
((failures == 0))
