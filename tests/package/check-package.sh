#!/usr/bin/env bash
# Installs the built project into a scratch prefix and packs it with CPack, unpacks the .deb into a
# scratch root and checks that every file a desktop expects is where the freedesktop.org standards put it
# (the Desktop Entry, Icon Theme and AppStream standards):
#   check-package.sh BUILD_DIR VERSION
set -euo pipefail
build=${1:?usage: $0 BUILD_DIR VERSION}
version=${2:?usage: $0 BUILD_DIR VERSION}
id=io.github.loopwren.LoopWren

scratch=$(mktemp -d "${TMPDIR:-/tmp}/loopwren-package.XXXXXX")
trap 'rm -rf "$scratch"' EXIT
failures=0
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }
# Fails for each TEXT that FILE lacks: as a whole line (MODE x) or anywhere in one (MODE "").
holds() {
    local mode=$1 file=$2 what=$3 text
    shift 3
    for text; do
        grep -q"$mode"F -- "$text" "$file" 2>/dev/null || fail "$what: ${file#"$scratch"/} lacks $text"
    done
}

# Every file of the application under ROOT (a prefix such as /usr, unpacked or installed).
check_tree() {
    local root=$1 what=$2 prefix=$3
    for program in loopwren loopwren-cli; do
        [[ -x "$root/bin/$program" ]] || fail "$what: bin/$program missing or not executable"
    done
    local desktop="$root/share/applications/$id.desktop"
    desktop-file-validate "$desktop" || fail "$what: $id.desktop missing or does not validate"
    holds x "$desktop" "$what" "Exec=loopwren" "Icon=$id"
    local metainfo="$root/share/metainfo/$id.metainfo.xml"
    appstreamcli validate --no-net --explain "$metainfo" >"$scratch/appstream.log" 2>&1 ||
        { cat "$scratch/appstream.log" >&2; fail "$what: the AppStream metainfo is missing or does not validate"; }
    holds "" "$metainfo" "$what" "<release version=\"$version\""
    local svg="$root/share/icons/hicolor/scalable/apps/$id.svg"
    [[ -f "$svg" ]] && grep -q "<svg" "$svg" || fail "$what: scalable icon missing"
    # The GNOME Shell extension, in the form the Shell of the build's system loads.
    local extension="$root/share/gnome-shell/extensions/loopwren@loopwren.github.io"
    grep -q '"uuid": "loopwren@loopwren.github.io"' "$extension/metadata.json" 2>/dev/null &&
        grep -q LoopWrenShellService "$extension/extension.js" ||
        fail "$what: share/gnome-shell/extensions/loopwren@loopwren.github.io missing or incomplete"
    holds x "$root/lib/udev/rules.d/60-loopwren-uinput.rules" "$what" \
        'KERNEL=="uinput", SUBSYSTEM=="misc", TAG+="uaccess", OPTIONS+="static_node=uinput"'
    holds x "$root/lib/modules-load.d/loopwren.conf" "$what" uinput
    check_input_service "$root" "$what" "$prefix"
    for size in 48 128 256; do
        local png="$root/share/icons/hicolor/${size}x${size}/apps/$id.png"
        file "$png" 2>/dev/null | grep -q "PNG image data, $size x $size," ||
            fail "$what: ${size}x${size} icon missing or not $size pixels square"
    done
}

# The input service: its program, its socket and service units (the unit naming the program where this
# tree puts it, with its confinement), its system user, and the polkit action with its defaults and no
# rule that widens it.
check_input_service() {
    local root=$1 what=$2 prefix=$3
    [[ -x "$root/libexec/loopwren-inputd" ]] || fail "$what: libexec/loopwren-inputd missing or not executable"
    holds x "$root/lib/systemd/system/loopwren-inputd.socket" "$what" \
        'ListenSequentialPacket=/run/loopwren/inputd.sock' 'SocketMode=0666' 'WantedBy=sockets.target'
    holds x "$root/lib/systemd/system/loopwren-inputd.service" "$what" "ExecStart=$prefix/libexec/loopwren-inputd" \
        'User=loopwren-inputd' 'SupplementaryGroups=input' 'DevicePolicy=closed' 'DeviceAllow=char-input r' \
        'NoNewPrivileges=yes' 'ProtectSystem=strict' 'PrivateNetwork=yes' 'CapabilityBoundingSet='
    holds x "$root/lib/sysusers.d/loopwren-inputd.conf" "$what" 'm loopwren-inputd input'
    local policy="$root/share/polkit-1/actions/io.github.loopwren.record-input.policy"
    python3 - "$policy" <<'PY' || fail "$what: the polkit action is missing or not as it should be"
import sys, xml.etree.ElementTree as tree
action = tree.parse(sys.argv[1]).getroot().find("action[@id='io.github.loopwren.record-input']")
defaults = {d.tag: d.text for d in action.find("defaults")}
owner = [a.text for a in action.findall("annotate") if a.get("key") == "org.freedesktop.policykit.owner"]
sys.exit(0 if defaults == {"allow_any": "no", "allow_inactive": "no", "allow_active": "yes"}
         and owner == ["unix-user:loopwren-inputd"] else 1)
PY
    [[ ! -e "$root/share/polkit-1/rules.d" ]] ||
        fail "$what: a polkit rule is installed; the action's defaults alone must decide"
}

# 1. cmake --install into a prefix.
cmake --install "$build" --prefix "$scratch/prefix" >"$scratch/install.log" ||
    { cat "$scratch/install.log" >&2; fail "cmake --install failed"; }
check_tree "$scratch/prefix" "cmake --install" "$scratch/prefix"

# 2. The Debian package, built from this tree.
( cd "$build" && cpack -G DEB --config CPackConfig.cmake -B "$scratch/out" ) >"$scratch/cpack.log" 2>&1 ||
    { cat "$scratch/cpack.log" >&2; echo "FAIL: cpack failed" >&2; exit 1; }
deb=$(find "$scratch/out" -maxdepth 1 -name "loopwren_${version}_*.deb" | head -n 1)
[[ -n "$deb" ]] || { echo "FAIL: no loopwren_${version}_*.deb" >&2; exit 1; }
dpkg-deb -x "$deb" "$scratch/root"
check_tree "$scratch/root/usr" ".deb" /usr

[[ "$(dpkg-deb -f "$deb" Package)" == loopwren ]] || fail ".deb: package name"
dpkg-deb -e "$deb" "$scratch/control"
for script in postinst prerm postrm; do
    [[ -x "$scratch/control/$script" ]] && sh -n "$scratch/control/$script" || fail ".deb: no working $script"
done
# The postinst creates the service's user and enables its socket, the prerm stops the service, and the
# postrm disables the socket and, on purge, removes the user.
holds "" "$scratch/control/postinst" .deb 'systemctl enable --now loopwren-inputd.socket' \
    'systemd-sysusers loopwren-inputd.conf'
holds "" "$scratch/control/prerm" .deb 'systemctl stop loopwren-inputd.socket loopwren-inputd.service'
holds "" "$scratch/control/postrm" .deb 'sockets.target.wants/loopwren-inputd.socket' 'userdel loopwren-inputd'
[[ "$(dpkg-deb -f "$deb" Version)" == "$version" ]] || fail ".deb: version is not $version"
depends=$(dpkg-deb -f "$deb" Depends)
# What dpkg-shlibdeps finds in the programs, and what only the running window loads.
for package in libqt6quick6 libqt6qml6 libqt6network6 libqt6widgets6 libx11-6 libxtst6 libc6 \
    qml6-module-qtquick qml6-module-qtquick-templates qml6-module-qtquick-window qml6-module-qtquick-layouts \
    qml6-module-qt5compat-graphicaleffects qt6-qpa-plugins qt6-wayland fonts-inter; do
    grep -q "\b$package\b" <<<"$depends" || fail ".deb: Depends lacks $package"
done
for program in loopwren loopwren-cli; do
    file "$scratch/root/usr/bin/$program" | grep -q ", stripped" || fail ".deb: $program is not stripped"
done
# The packaged command-line tool runs from the unpacked tree, on the system's libraries alone.
"$scratch/root/usr/bin/loopwren-cli" --help >/dev/null || fail ".deb: loopwren-cli --help failed"
if readelf -d "$scratch/root/usr/bin/loopwren" | grep -qE "RPATH|RUNPATH"; then
    fail ".deb: loopwren carries a run path; it should load the system's libraries only"
fi

if ((failures > 0)); then
    echo "$failures check(s) failed" >&2
    exit 1
fi
echo "package checks passed: $(basename "$deb")"
