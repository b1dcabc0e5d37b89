#!/bin/bash
# Second stage of the test VM in its systemd form (run-vm.sh --systemd): PID 1 on the host's root, as in
# guest-init.sh, but handing over to systemd, so that the command meets a real logind, polkitd, D-Bus and
# users' login sessions. Before that it quiets what is slow or useless in a VM, puts the job runner (copied
# into the overlay: systemd would not start a script from the host's /tmp) into a oneshot unit of
# multi-user.target that powers the VM off when it ends, and leaves the rest to systemd.
set -uo pipefail
export PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin
readonly job=/loopwren-job
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)

die() {
    echo "loopwren-vm guest: $*"
    /bin/busybox poweroff -f
}

mkdir -p "$job" /etc/loopwren-vm
mount -t 9p -o trans=virtio,version=9p2000.L loopwrenjob "$job" || die "cannot mount the job share"
# A fresh /run: the host's runtime state means nothing here.
mount -t tmpfs -o mode=0755 tmpfs /run || die "cannot mount /run"
# Empty: systemd makes a machine id of its own for this boot.
: >/etc/machine-id

units=/etc/systemd/system
for unit in postgresql.service postgresql@.service apt-daily.timer apt-daily-upgrade.timer man-db.timer \
    e2scrub_all.timer e2scrub_reap.service dpkg-db-backup.timer fstrim.timer logrotate.timer \
    getty@.service autovt@.service serial-getty@ttyS0.service console-getty.service \
    systemd-networkd-wait-online.service NetworkManager-wait-online.service docker.service \
    containerd.service ssh.service cron.service; do
    ln -sf /dev/null "$units/$unit"
done

# /tmp stays the host's, as in the minimal init, so that a build tree there is reachable: systemd would
# empty it at boot.
mkdir -p /etc/tmpfiles.d
ln -sf /dev/null /etc/tmpfiles.d/tmp.conf

cp "$here/guest-systemd-job.sh" /etc/loopwren-vm/run-job
cat >"$units/loopwren-job.service" <<'UNIT'
[Unit]
Description=LoopWren VM job
Wants=systemd-logind.service dbus.service systemd-udev-trigger.service
After=systemd-logind.service dbus.service systemd-udev-trigger.service systemd-user-sessions.service
SuccessAction=poweroff-force
FailureAction=poweroff-force

[Service]
Type=oneshot
ExecStart=/bin/bash /etc/loopwren-vm/run-job
StandardOutput=journal+console
StandardError=journal+console
TimeoutStartSec=infinity
UNIT
mkdir -p "$units/multi-user.target.wants"
ln -sf "$units/loopwren-job.service" "$units/multi-user.target.wants/loopwren-job.service"

exec /lib/systemd/systemd
