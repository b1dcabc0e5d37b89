#!/bin/bash
# Second stage of the test VM: PID 1 on the host's root (read-only under a tmpfs overlay, see
# initramfs-init.sh). Brings up what a desktop's input stack needs from the system - udev with its
# input tags, evdev and uinput - then runs the command run-vm.sh left in the job share, writes its exit
# status back there and powers the VM off. The console is for people to read: kernel messages may be
# mixed into any line of it.
set -uo pipefail
export PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin HOME=/root LANG=C.UTF-8 TERM=dumb
readonly job=/run/loopwren-job
readonly udev_settle_s=300

power_off() {
    # Setting the console's modes waits until what was written to it has left the serial port, so the
    # last lines are not lost with the VM.
    stty -F /dev/console sane 2>/dev/null
    /bin/busybox poweroff -f
}

die() {
    echo "loopwren-vm guest: $*"
    power_off
}

# /dev, /proc and /sys come from the first stage. /tmp stays the host's, seen through the overlay, so a
# build tree there is reachable too; /run gets a fresh tmpfs, as the host's runtime state means nothing here.
mkdir -p /dev/pts /dev/shm
mount -t devpts -o newinstance,ptmxmode=0666 devpts /dev/pts || die "cannot mount devpts"
mount -t tmpfs -o mode=1777 tmpfs /dev/shm || die "cannot mount /dev/shm"
mount -t tmpfs -o mode=0755 tmpfs /run || die "cannot mount /run"
mkdir -p "$job"
mount -t 9p -o trans=virtio,version=9p2000.L loopwrenjob "$job" || die "cannot mount the job share"

modprobe -a evdev uinput || die "cannot load evdev and uinput"
[[ -c /dev/uinput ]] || die "no /dev/uinput after loading uinput"
/lib/systemd/systemd-udevd --daemon || die "cannot start systemd-udevd"
{ udevadm trigger --type=subsystems --action=add && udevadm trigger --type=devices --action=add; } ||
    die "udevadm trigger failed"
udevadm settle --timeout="$udev_settle_s" || die "udev did not settle within $udev_settle_s s"

echo "loopwren-vm guest: up with kernel $(uname -r)"
: >"$job/ready"
bash "$job/command" </dev/null
status=$?
echo "$status" >"$job/status"
echo "loopwren-vm guest: the command exited with status $status"
power_off
