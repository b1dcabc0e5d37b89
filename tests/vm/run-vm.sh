#!/usr/bin/env bash
# Runs a command as root inside a qemu VM that boots Debian's own kernel on the host's root, shared
# read-only, with udev running and evdev and uinput loaded - the kernel's input devices, which this
# machine's own kernel need not offer:
#
#   tests/vm/run-vm.sh build/some_test --flag
#   tests/vm/run-vm.sh --systemd build/some_test --flag
#
# With --systemd the guest boots systemd as its init and runs the command from a unit once the system is
# up, so that it meets a real logind, polkitd and D-Bus (guest-systemd.sh); without, a minimal init with
# udev alone (guest-init.sh), which starts much sooner.
#
# The command runs in the current directory (the guest sees the host's files at the same paths, so
# relative ones work too) with a plain system PATH, as root. The guest's console is streamed to
# standard output. Exits with the command's status, or 125 with a message when the VM cannot be
# started, does not come up or does not finish within LOOPWREN_VM_TIMEOUT seconds (then it is killed).
#
#   LOOPWREN_VM_KERNEL   the kernel image (default: the newest /boot/vmlinuz-*)
#   LOOPWREN_VM_CACHE    where the initramfs is kept (default: build/vm in the source tree)
#   LOOPWREN_VM_TIMEOUT  seconds for the whole run, boot included (default: 600)
set -euo pipefail

here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
cache=${LOOPWREN_VM_CACHE:-$here/../../build/vm}
limit_s=${LOOPWREN_VM_TIMEOUT:-600}

fail() {
    echo "run-vm: $*" >&2
    exit 125
}

stage2=$here/guest-init.sh
init_args=
if [[ ${1:-} == --systemd ]]; then
    shift
    stage2=$here/guest-systemd.sh
    init_args="systemd.unit=multi-user.target systemd.show_status=0"
fi
[[ $# -gt 0 ]] || fail "usage: $0 [--systemd] COMMAND [ARGUMENT...]"
[[ $limit_s =~ ^[1-9][0-9]*$ ]] || fail "LOOPWREN_VM_TIMEOUT must be a number of seconds, not '$limit_s'"
command -v qemu-system-x86_64 >/dev/null || fail "qemu-system-x86_64 is missing; run scripts/install-deps.sh"
kernel=${LOOPWREN_VM_KERNEL:-}
if [[ -z $kernel ]]; then
    kernels=(/boot/vmlinuz-*)
    [[ -e ${kernels[0]} ]] || fail "no kernel in /boot; run scripts/install-deps.sh (linux-image-amd64)"
    kernel=$(printf '%s\n' "${kernels[@]}" | sort -V | tail -n 1)
fi
[[ -f $kernel && -r $kernel ]] || fail "cannot read the kernel $kernel"
# Debian names the image after the kernel's release, which is also its module folder's name.
version=${kernel##*/vmlinuz-}
[[ $version != "$kernel" ]] || fail "cannot tell the kernel release from the name $kernel (want vmlinuz-RELEASE)"
initrd=$(bash "$here/make-initramfs.sh" "$version" "$cache") || fail "cannot build the initramfs"

workdir=$(mktemp -d "${TMPDIR:-/tmp}/loopwren-vm.XXXXXX")
vm_pid=
cleanup() {
    # Only the VM started here, by its id (timeout passes the signal on to qemu).
    [[ -n $vm_pid ]] && kill "$vm_pid" 2>/dev/null && wait "$vm_pid" 2>/dev/null
    rm -rf "$workdir"
}
trap cleanup EXIT
trap 'exit 130' INT
trap 'exit 143' TERM

# The job the guest picks up from a share of its own: the command and where to run it. The guest
# reports there too (files ready and status), not on the console, where kernel messages may cut into
# a line.
mkdir "$workdir/job"
{
    printf 'cd -- %q || exit 125\n' "$PWD"
    printf '%q ' "$@"
    echo
} >"$workdir/job/command"

echo "run-vm: booting $kernel (timeout ${limit_s} s)"
mkfifo "$workdir/console"
# The serial console ends lines with CR LF.
sed -u 's/\r//g' <"$workdir/console" &
reader_pid=$!
timeout --kill-after=10 "$limit_s" qemu-system-x86_64 \
    -nodefaults -no-user-config -accel tcg -m 2048 -smp 2 -display none -vga none -no-reboot \
    -chardev stdio,id=console,signal=off -serial chardev:console \
    -kernel "$kernel" -initrd "$initrd" \
    -append "console=ttyS0 panic=-1 loglevel=4 loopwren.init=$stage2 $init_args" \
    -virtfs local,path=/,mount_tag=hostroot,security_model=none,readonly=on,multidevs=remap \
    -virtfs "local,path=$workdir/job,mount_tag=loopwrenjob,security_model=none" \
    </dev/null >"$workdir/console" 2>&1 &
vm_pid=$!
vm_status=0
wait "$vm_pid" || vm_status=$?
vm_pid=
wait "$reader_pid" || true

status=$(cat "$workdir/job/status" 2>/dev/null) || true
if [[ $status =~ ^[0-9]+$ ]]; then
    exit "$status"
elif [[ $vm_status -eq 124 || $vm_status -eq 137 ]]; then
    fail "the VM did not finish within ${limit_s} s and was killed"
elif [[ ! -e $workdir/job/ready ]]; then
    fail "the guest did not come up (qemu exited with status $vm_status; its console is above)"
else
    fail "the guest stopped before the command finished (qemu exited with status $vm_status)"
fi
