#!/bin/bash
# Runs a headless GNOME Shell for a test, all inside the folder given ($1) and a mount namespace of its
# own (the caller runs this under `unshare -m`): a system bus on a private /run/dbus with a stand-in for
# logind on it (GNOME Shell stops without one; python-dbusmock's logind template, not the real
# logind), a session bus at $1/bus that activates nothing, and the Shell with its Wayland socket in
# $1/run. The extensions and settings come from $1/home. Stops what it started, by process id, on
# SIGTERM.
set -u
folder=$1
pids=()
stop() {
    for ((i = ${#pids[@]} - 1; i >= 0; i--)); do kill "${pids[i]}" 2>/dev/null; done
    wait
    exit 0
}
trap stop TERM INT

mount --make-rprivate / && mount -t tmpfs loopwren-test /run/dbus || exit 1
# Buses that start no services of the machine (polkit, PackageKit, …) on the Shell's behalf.
bus_config() {
    cat <<CONF
<busconfig>
  <type>$1</type>
  <listen>$2</listen>
  ${3:+<servicedir>$3</servicedir>}
  <policy context="default"><allow user="*"/><allow own="*"/><allow send_destination="*"/><allow receive_sender="*"/></policy>
</busconfig>
CONF
}
bus_config system unix:path=/run/dbus/system_bus_socket >"$folder/system.conf"
dbus-daemon --config-file="$folder/system.conf" --nofork --nopidfile &
pids+=($!)
# Debian's python: python3-dbusmock is installed for it, not for another python on PATH.
/usr/bin/python3 -m dbusmock --system --template logind >"$folder/logind.log" 2>&1 &
pids+=($!)
for _ in $(seq 600); do
    dbus-send --system --dest=org.freedesktop.login1 /org/freedesktop/login1 \
        org.freedesktop.DBus.Peer.Ping 2>/dev/null && break
    sleep 0.1
done

export DBUS_SESSION_BUS_ADDRESS=unix:path=$folder/bus
export HOME=$folder/home XDG_RUNTIME_DIR=$folder/run XDG_CONFIG_HOME=$folder/home/.config
export XDG_DATA_HOME=$folder/home/.local/share XDG_CACHE_HOME=$folder/home/.cache
# Settings from $XDG_CONFIG_HOME/glib-2.0/settings/keyfile (the enabled extensions), not dconf.
export GSETTINGS_BACKEND=keyfile NO_AT_BRIDGE=1 GTK_A11Y=none
unset DISPLAY WAYLAND_DISPLAY
# The session bus starts one service: the Shell's extension manager (a window on this Shell), which
# gnome-extensions talks to.
mkdir -p "$folder/services"
cp /usr/share/dbus-1/services/org.gnome.Shell.Extensions.service "$folder/services/"
bus_config session "unix:path=$folder/bus" "$folder/services" >"$folder/session.conf"
WAYLAND_DISPLAY=$2 dbus-daemon --config-file="$folder/session.conf" --nofork --nopidfile &
pids+=($!)
for _ in $(seq 600); do [[ -S $folder/bus ]] && break; sleep 0.1; done
gnome-shell --headless --wayland --no-x11 --virtual-monitor 1280x800 --wayland-display "$2" \
    >"$folder/shell.log" 2>&1 &
pids+=($!)
wait "${pids[-1]}"
stop
