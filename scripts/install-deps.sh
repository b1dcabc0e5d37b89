#!/usr/bin/env bash
# Installs the Debian 12 packages LoopWren needs to build, test and run.
# Quiet and quick when everything is already there.
set -euo pipefail

packages=(
    build-essential cmake ninja-build pkg-config python3
    qt6-base-dev qt6-declarative-dev qml6-module-qtquick qml6-module-qtquick-controls
    qml6-module-qtquick-layouts qml6-module-qtquick-window qml6-module-qtquick-templates
    qml6-module-qtqml-workerscript qml6-module-qtquick-dialogs qml6-module-qttest
    libsimdjson-dev libx11-dev libx11-xcb-dev libxtst-dev libxi-dev libxrandr-dev libxcb1-dev libxcb-xkb-dev
    libgtest-dev libgmock-dev libbenchmark-dev fonts-material-design-icons-iconfont
    qml6-module-qt5compat-graphicaleffects fonts-inter
    qt6-qpa-plugins qt6-wayland libgl1-mesa-dri
    xvfb xserver-xephyr openbox xdotool x11-utils x11-xserver-utils desktop-file-utils
    # Screenshots of the whole X screen while the window is driven by hand (import -window root).
    imagemagick
    dpkg-dev file appstream
    util-linux mount locales libsm-dev libice-dev
    # The kernel backend: libevdev for the replay device, libinput to capture, libudev to find devices.
    libevdev-dev libinput-dev libudev-dev
    # The input service (src/inputd): sd-bus for logind and polkit, sd-daemon for its socket.
    libsystemd-dev
    # The VM tests (tests/vm): Debian's kernel booted in qemu, with udev and modprobe from this root
    # inside it and busybox in its initramfs; sway, seatd to hand it the input devices, and wev, a
    # window that prints what it receives, for playback under a real compositor there.
    qemu-system-x86 linux-image-amd64 busybox-static cpio kmod udev sway seatd wev
    # The input service's VM check: a scripted uinput keyboard (python3-evdev) and polkitd to ask.
    python3-evdev polkitd
    # The sway tests (tests/backends/kernel/desktops): a headless sway on this machine, foot (a Wayland client) on it,
    # grim to see them.
    foot grim
    # The hotkeys through the desktop's shortcuts portal (tests/backends/kernel/portal/portalhotkeys_test.cpp): a
    # stand-in for the portal run by python-dbusmock (on python3-dbus) on a private dbus-daemon. Qt's
    # D-Bus module itself comes with qt6-base-dev.
    python3-dbusmock python3-dbus dbus-daemon
    # The KWin tests (tests/backends/kernel/desktops): a headless KWin 5.27 with its Breeze window decorations (the
    # frames users see), and KWin's fake-input protocol with the Wayland client library and scanner
    # to move its pointer.
    kwin-wayland kwin-style-breeze plasma-wayland-protocols libwayland-dev
    # The GNOME Shell tests (tests/backends/kernel/desktops): a headless GNOME Shell with LoopWren's extension, which
    # needs a logind on a system bus of the test's own (python3-dbusmock's stand-in), and gjs for the
    # extension manager that `gnome-extensions enable` talks to. Configuring with gnome-shell present
    # also picks the extension's form for it.
    gnome-shell gjs
)

# `install-deps.sh fuzz` adds what `make fuzz` needs: clang and its libFuzzer and sanitizer runtimes.
[[ "${1:-}" == fuzz ]] && packages+=(clang libclang-rt-dev)

missing=()
for p in "${packages[@]}"; do
    status=$(dpkg-query -W -f='${Status}' "$p" 2>/dev/null || true)
    [[ "$status" == "install ok installed" ]] || missing+=("$p")
done
sudo_cmd=()
[[ $(id -u) -eq 0 ]] || sudo_cmd=(sudo)
if [[ ${#missing[@]} -gt 0 ]]; then
    echo "Installing: ${missing[*]}"
    export DEBIAN_FRONTEND=noninteractive
    "${sudo_cmd[@]}" apt-get update -qq
    "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi

# A locale that writes numbers with a decimal comma, for the tests that text never follows the locale.
if ! locale -a 2>/dev/null | grep -qix 'de_DE.utf-\?8'; then
    echo "Generating the de_DE.UTF-8 locale"
    "${sudo_cmd[@]}" localedef -i de_DE -f UTF-8 de_DE.UTF-8
fi
