#!/usr/bin/env bash
# Runs a command inside a private X session: Xvfb on a free display, openbox as window manager, and
# a primary monitor whose top-left corner is not the root origin, so that code translating between
# root and monitor coordinates is really exercised.
#
#   scripts/with-x11.sh ctest --test-dir build --output-on-failure
#
# Exits with the command's status, or non-zero with a message when the session cannot be set up.
set -uo pipefail

# Where the primary monitor lies inside the 1920x1080 root window.
readonly MONITOR_GEOMETRY="1600/423x900/238+200+100"
readonly MONITOR_NAME="LoopWrenTest"
readonly START_TIMEOUT_S=10

fail() {
    echo "with-x11: $*" >&2
    exit 2
}

[[ $# -gt 0 ]] || fail "usage: $0 command [argument...]"
for tool in Xvfb openbox xdpyinfo xprop xrandr; do
    command -v "$tool" >/dev/null || fail "'$tool' is missing; run scripts/install-deps.sh"
done

workdir=$(mktemp -d "${TMPDIR:-/tmp}/loopwren-x11.XXXXXX") || fail "cannot create a temporary directory"
xvfb_pid=""
openbox_pid=""

cleanup() {
    # Only the processes started here, by their ids.
    [[ -n "$openbox_pid" ]] && kill "$openbox_pid" 2>/dev/null && wait "$openbox_pid" 2>/dev/null
    [[ -n "$xvfb_pid" ]] && kill "$xvfb_pid" 2>/dev/null && wait "$xvfb_pid" 2>/dev/null
    rm -rf "$workdir"
}
trap cleanup EXIT
trap 'exit 130' INT
trap 'exit 143' TERM

# Polls a command until it succeeds or the start timeout passes.
wait_for() {
    local deadline=$((SECONDS + START_TIMEOUT_S))
    until "$@" >/dev/null 2>&1; do
        ((SECONDS < deadline)) || return 1
        sleep 0.1
    done
}

# -displayfd lets the server pick a free display number itself, which avoids racing other sessions
# for one; -noreset keeps it from resetting whenever its last client disconnects.
mkfifo "$workdir/displayfd" || fail "cannot create a fifo in $workdir"
Xvfb -displayfd 3 -screen 0 1920x1080x24 -noreset -nolisten tcp \
    3>"$workdir/displayfd" >"$workdir/xvfb.log" 2>&1 &
xvfb_pid=$!
display_number=""
if ! read -r -t "$START_TIMEOUT_S" display_number <"$workdir/displayfd" || [[ -z "$display_number" ]]; then
    cat "$workdir/xvfb.log" >&2
    fail "Xvfb did not start"
fi
export DISPLAY=":$display_number"
unset WAYLAND_DISPLAY
wait_for xdpyinfo || { cat "$workdir/xvfb.log" >&2; fail "Xvfb on $DISPLAY does not answer"; }

# No key or mouse bindings except click-to-focus on windows: test input must never open the root
# menu or trigger window-manager shortcuts. A plain press is bound on the client and the title bar,
# never on the whole frame: a Frame binding holds the pointer on every press inside the window, and
# Qt's window then never sees a press made through XTEST.
cat >"$workdir/rc.xml" <<'EOF'
<?xml version="1.0" encoding="UTF-8"?>
<openbox_config xmlns="http://openbox.org/3.4/rc">
  <focus><focusNew>yes</focusNew><followMouse>no</followMouse></focus>
  <placement><policy>Smart</policy></placement>
  <desktops><number>1</number></desktops>
  <keyboard></keyboard>
  <mouse>
    <context name="Client">
      <mousebind button="Left" action="Press"><action name="Focus"/><action name="Raise"/></mousebind>
    </context>
    <context name="Titlebar">
      <mousebind button="Left" action="Press"><action name="Focus"/><action name="Raise"/></mousebind>
      <mousebind button="Left" action="Drag"><action name="Move"/></mousebind>
    </context>
  </mouse>
</openbox_config>
EOF
openbox --sm-disable --config-file "$workdir/rc.xml" >"$workdir/openbox.log" 2>&1 &
openbox_pid=$!
wm_is_up() { xprop -root _NET_SUPPORTING_WM_CHECK | grep -q 'window id'; }
wait_for wm_is_up || { cat "$workdir/openbox.log" >&2; fail "openbox did not come up on $DISPLAY"; }

# Xvfb marks no monitor primary. A user-defined monitor that takes over the screen's output replaces
# the automatic one, so the session has exactly one monitor, primary, at +200+100.
xrandr --setmonitor "*$MONITOR_NAME" "$MONITOR_GEOMETRY" screen >/dev/null ||
    fail "xrandr cannot define the test monitor on $DISPLAY"
xrandr --listmonitors | grep -q "\*$MONITOR_NAME .*+200+100" ||
    fail "the primary test monitor did not appear: $(xrandr --listmonitors | tr '\n' ' ')"

"$@"
exit $?
