#!/bin/bash
# LoopWren's input service with a real logind and polkitd: run as root by `run-vm.sh --systemd` (the VM
# boots systemd as its init), with a test user who is NOT in the group input and logs in on tty1 through
# pam_systemd. Installs the build as the package would, then checks that the service lends input to that
# session only while it is active, local and its own and polkit allows it; that a recording ends keeping
# what came before when the session turns inactive; that the user is told why at each refusal; and that
# callers that misbehave get nothing.
#   inputd_vm_check.sh BUILD_DIR [bench]     (bench: only the revoke latency, median of 20)
set -uo pipefail
build=$(cd "$1" && pwd)
mode=${2:-check}
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
helper=(/usr/bin/python3 "$here/inputd_vm_helper.py")
dir=/run/lwtest
failures=0

ok() { echo "ok   $*"; }
bad() { echo "FAIL $*"; failures=$((failures + 1)); }
expect() { # NAME FILE TEXT: TEXT is in FILE
    if grep -qF -- "$3" "$2"; then ok "$1"; else bad "$1: expected \"$3\" in:"; sed 's/^/    /' "$2"; fi
}
wait_for() { # FILE TEXT: waits until TEXT is in FILE (the VM's own timeout bounds it)
    until grep -qF -- "$2" "$1" 2>/dev/null; do sleep 0.2; done
}
# Runs a command in the test user's login session, through the driver started there; ID names its output.
in_session() {
    local id=$1
    shift
    printf '%s %s\n' "$id" "$*" >"$dir/in"
    until [[ -e $dir/$id.status ]]; do sleep 0.2; done
}
doctor() { # ID [PREFIX]: the doctor's report in the session
    if [[ -n ${2:-} ]]; then in_session "$1" "$2 'loopwren-cli doctor'"; else in_session "$1" loopwren-cli doctor; fi
}
session_active() { [[ $(loginctl show-session "$session" -p Active --value) == "$1" ]]; }
switch_to() { busybox chvt "$1"; until session_active "$([[ $1 == 1 ]] && echo yes || echo no)"; do sleep 0.1; done; }
key_codes() { # FILE: the recorded key events as "type:code" words
    /usr/bin/python3 -c 'import json,sys; print(" ".join(e["type"] + ":" + str(e["keyCode"]) for e in json.load(open(sys.argv[1])) if e["type"] in ("keyDown","keyUp")))' "$1"
}
record_in_session() { # ID: starts a recording in the session and waits until it records
    in_session "$1" "loopwren-cli record $dir/$1.json --backend kernel >$dir/$1.log 2>&1 & echo \$! >$dir/$1.pid"
    until grep -qE "Recording;|cannot record" "$dir/$1.log" 2>/dev/null; do sleep 0.2; done
}
refused() { # ID DOCTOR RECORDING: the doctor says DOCTOR and a recording is refused saying RECORDING
    doctor "doctor-$1"
    expect "the doctor says \"$2\"" "$dir/doctor-$1.out" "$2"
    record_in_session "rec-$1"
    expect "recording is refused with \"$3\"" "$dir/rec-$1.log" "$3"
}
type_keys() { # PID KEYS...: types the keys and waits until the recorder PID has read them
    local before
    before=$(grep -c typed /run/lwkeyboard.out)
    echo "${@:2}" >/run/lwkeys
    until (($(grep -c typed /run/lwkeyboard.out) > before)); do sleep 0.1; done
    "${helper[@]}" drained "$1" "$keyboard" >/dev/null
}
ended() { while kill -0 "$1" 2>/dev/null; do sleep 0.2; done; }

# Installed as the package installs it: the program, its units, its user, its polkit action.
cmake --install "$build" --prefix /usr >/run/install.log || { cat /run/install.log; exit 1; }
systemd-sysusers loopwren-inputd.conf
systemctl daemon-reload
systemctl enable --now loopwren-inputd.socket || exit 1
useradd -m -u 1501 -s /bin/bash lwtest && useradd -m -u 1502 -s /bin/bash lwother || exit 1
id -nG lwtest | grep -qw input && bad "the test user is in the group input"

# Devices: a keyboard the test types on, a device named as LoopWren's replay device, and two impostors.
mkfifo /run/lwkeys
"${helper[@]}" keyboard /run/lwkeys >/run/lwkeyboard.out &
"${helper[@]}" replay-device >/run/lwreplay.out &
wait_for /run/lwkeyboard.out /dev/input/
wait_for /run/lwreplay.out /dev/input/
keyboard=$(head -n 1 /run/lwkeyboard.out)
replay=$(head -n 1 /run/lwreplay.out)
udevadm settle
ln -s "$keyboard" /dev/input/event99
mknod /dev/input/event98 c 1 3

# The login session: a driver on tty1, through PAM and pam_systemd as a login would, that runs what
# in_session hands it.
mkdir -m 0700 "$dir" && chown lwtest: "$dir" && mkfifo -m 0600 "$dir/in" && chown lwtest: "$dir/in"
systemd-run --quiet --unit=lwtest-session -p PAMName=login -p User=lwtest -p TTYPath=/dev/tty1 \
    -p StandardInput=tty-force -p StandardOutput=journal -p StandardError=journal \
    /bin/bash -c "cd $dir; cat /proc/self/cgroup >cgroup; while :; do read -r id cmd <in || continue; bash -c \"\$cmd\" >\$id.out 2>&1 </dev/null; echo \$? >\$id.status; done"
until [[ -s $dir/cgroup ]]; do sleep 0.2; done
session=$(loginctl show-user lwtest -p Sessions --value | awk '{print $1}')

if [[ $mode == bench ]]; then
    # The revoke latency: from the switch of VT to the lent handle's death, 20 times.
    in_session bench "/usr/bin/python3 $here/inputd_vm_helper.py revoke-latency $keyboard 20 >$dir/latency.out 2>&1 &"
    for round in $(seq 1 20); do
        until (($(grep -c ready "$dir/latency.out" 2>/dev/null) >= round)); do sleep 0.1; done
        /usr/bin/python3 -c '
import fcntl, os, time
tty = os.open("/dev/tty0", os.O_RDWR)
stamp = time.clock_gettime_ns(time.CLOCK_MONOTONIC) // 1000
fcntl.ioctl(tty, 0x5606, 2)  # VT_ACTIVATE
with open("/run/lwtest/switched.tmp", "w") as f: f.write(str(stamp))
os.rename("/run/lwtest/switched.tmp", "/run/lwtest/switched")'
        until (($(grep -c latency_us "$dir/latency.out") >= round)); do sleep 0.1; done
        switch_to 1
    done
    grep latency_us "$dir/latency.out" | awk '{print $2}' | sort -n |
        awk '{v[NR]=$1} END {printf "inputd revoke latency (VT switch -> lent handle dead), median of %d: %.1f ms (min %.1f, max %.1f)\n", NR, (NR%2 ? v[(NR+1)/2] : (v[NR/2]+v[NR/2+1])/2)/1000, v[1]/1000, v[NR]/1000}'
    exit 0
fi

# 1. Admitted: the active local session's own process records every key, through the service alone.
doctor doctor-admitted
expect "the doctor says the service lends input" "$dir/doctor-admitted.out" "ok  input service: lends input to this session"
record_in_session rec-admitted
type_keys "$(cat $dir/rec-admitted.pid)" a s d f g
kill -INT "$(cat $dir/rec-admitted.pid)" && ended "$(cat $dir/rec-admitted.pid)"
codes=$(key_codes "$dir/rec-admitted.json")
[[ $codes == "keyDown:0 keyUp:0 keyDown:1 keyUp:1 keyDown:2 keyUp:2 keyDown:3 keyUp:3 keyDown:5 keyUp:5" ]] &&
    ok "a recording gets every key typed" || { bad "the recording holds: $codes"; cat "$dir/rec-admitted.log"; }

# 2. Bad callers, from the admitted session: errors or a closed connection, never a handle.
in_session callers "/usr/bin/python3 $here/inputd_vm_helper.py callers $replay"
[[ $(cat "$dir/callers.status") == 0 ]] && ok "misbehaving callers get nothing" ||
    { bad "misbehaving callers"; sed 's/^/    /' "$dir/callers.out"; }
in_session lend-after "/usr/bin/python3 $here/inputd_vm_helper.py lend $keyboard"
expect "the service still lends after them" "$dir/lend-after.out" "lent LoopWren test keyboard"

# 3. Revoked: the session turns inactive during a recording; what came before is kept.
record_in_session rec-revoked
type_keys "$(cat $dir/rec-revoked.pid)" a s
switch_to 2
ended "$(cat $dir/rec-revoked.pid)"
expect "the recorder ends with its message" "$dir/rec-revoked.log" \
    "loopwren-cli: the input service took the input devices back (session not active); the recording ends"
codes=$(key_codes "$dir/rec-revoked.json")
[[ $codes == "keyDown:0 keyUp:0 keyDown:1 keyUp:1" ]] && ok "nothing recorded before the switch is lost" ||
    { bad "the revoked recording holds: $codes"; cat "$dir/rec-revoked.log"; }

# 4. Refused while inactive, with the reason.
refused inactive "NO  input service: session not active or remote (session not active)" \
    "Input service: session not active or remote"
switch_to 1

# 5. Refused by polkit: an administrator's rule says no.
mkdir -p /etc/polkit-1/rules.d
echo 'polkit.addRule(function(action, subject) { if (action.id == "io.github.loopwren.record-input") return polkit.Result.NO; });' \
    >/etc/polkit-1/rules.d/10-loopwren-test.rules
systemctl restart polkit
refused policy "NO  input service: refused by the administrator's policy" \
    "Input service: refused by the administrator's policy"
rm /etc/polkit-1/rules.d/10-loopwren-test.rules
systemctl restart polkit

# 6. Another user's process in this session.
cgroup=/sys/fs/cgroup$(sed -n 's/^0:://p' "$dir/cgroup")
sh -c "echo \$\$ >$cgroup/cgroup.procs && exec setpriv --reuid=1502 --regid=1502 --clear-groups env HOME=/home/lwother loopwren-cli doctor" \
    >/run/doctor-other.out 2>&1
expect "a process of another user in the session is refused" /run/doctor-other.out \
    "NO  input service: session not active or remote (the session belongs to another user)"

# 7. A remote login (login -h sets the remote host through PAM).
{
    echo "loopwren-cli doctor >$dir/doctor-remote.out 2>&1; touch $dir/remote.done; exit"
    until [[ -e $dir/remote.done ]]; do sleep 0.2; done
} | script -qfec "login -f -h remote.example.org lwtest" /dev/null >/dev/null 2>&1
expect "a remote session is refused" "$dir/doctor-remote.out" "NO  input service: session not active or remote (session is remote)"

# 8. Without the service: the group input as the fallback, and neither.
journalctl -u loopwren-inputd.service --no-pager -o cat >/run/inputd.journal
grep -qE "dumped core|SIGSEGV|SIGABRT" /run/inputd.journal && bad "the service crashed" || ok "the service never crashed"
systemctl disable --now loopwren-inputd.socket loopwren-inputd.service
doctor doctor-stopped
expect "the doctor says the service is not running" "$dir/doctor-stopped.out" "NO  input service: not running"
rm /usr/lib/systemd/system/loopwren-inputd.socket /usr/lib/systemd/system/loopwren-inputd.service
systemctl daemon-reload
usermod -aG input lwtest
doctor doctor-group "sg input -c"
expect "the doctor says the service is not installed" "$dir/doctor-group.out" "NO  input service: not installed"
expect "the group is the fallback" "$dir/doctor-group.out" "ok  input group: a member (the fallback)"
gpasswd -d lwtest input >/dev/null
doctor doctor-neither
expect "without either, the doctor says how, with the group's risk" "$dir/doctor-neither.out" \
    "to do: only as a fallback: sudo usermod -aG input"

echo "--- the service's log:"
sed 's/^/    /' /run/inputd.journal
((failures == 0)) && echo "inputd VM check: all passed" || echo "inputd VM check: $failures failed"
((failures == 0))
