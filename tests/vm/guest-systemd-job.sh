#!/bin/bash
# The job of the test VM in its systemd form, run by loopwren-job.service as root: brings up evdev and
# uinput, waits for udev, then runs the command run-vm.sh left in the job share and writes its status
# back there. The unit powers the VM off when this ends.
set -uo pipefail
export HOME=/root LANG=C.UTF-8 TERM=dumb
readonly job=/loopwren-job
modprobe -a evdev uinput || { echo 125 >"$job/status"; exit 1; }
udevadm settle --timeout=300
echo "loopwren-vm guest: up under systemd with kernel $(uname -r)"
: >"$job/ready"
bash "$job/command" </dev/null
status=$?
echo "$status" >"$job/status"
sync
echo "loopwren-vm guest: the command exited with status $status"
