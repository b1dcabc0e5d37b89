#!/bin/busybox sh
# shellcheck shell=dash
# First stage of the test VM, /init of its initramfs: loads the modules that reach the host's root over
# virtio-9p, mounts that root read-only under an overlay whose upper layer is a tmpfs (the guest may write
# anywhere, the host sees none of it) and hands over to the second stage, the program named by
# loopwren.init= on the kernel command line, as PID 1 of the host's root.
/bin/busybox --install -s /bin
export PATH=/bin

fail() {
    echo "loopwren-vm initramfs: $*"
    poweroff -f
}

mount -t devtmpfs devtmpfs /dev
# The initramfs carries no device nodes, so the kernel found no console for us to inherit.
exec </dev/console >/dev/console 2>&1
mount -t proc proc /proc
mount -t sysfs sysfs /sys

for module in /modules/*.ko; do
    insmod "$module" || fail "cannot load $module"
done

stage2=
# shellcheck disable=SC2013 # the command line is one line of words
for arg in $(cat /proc/cmdline); do
    case $arg in loopwren.init=*) stage2=${arg#loopwren.init=} ;; esac
done
[ -n "$stage2" ] || fail "no loopwren.init= on the kernel command line"

# A large msize and the page cache spare 9p round trips when the guest loads the host's programs; the
# cache is safe as the host's files do not change under a test run.
mount -t 9p -o trans=virtio,version=9p2000.L,ro,msize=262144,cache=loose hostroot /lower ||
    fail "cannot mount the host's root (9p tag hostroot)"
mount -t tmpfs -o mode=0755 tmpfs /rw
mkdir /rw/upper /rw/work
mount -t overlay -o lowerdir=/lower,upperdir=/rw/upper,workdir=/rw/work overlay /newroot ||
    fail "cannot put an overlay on the host's root"
[ -x "/newroot$stage2" ] || fail "$stage2 is not an executable on the host's root"

for fs in dev proc sys; do
    mount --move "/$fs" "/newroot/$fs"
done
exec switch_root /newroot "$stage2"
