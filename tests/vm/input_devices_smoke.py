#!/usr/bin/python3
"""What the kernel input backend relies on, checked inside the test VM (tests/vm/run-vm.sh).

A uinput device with keys, buttons and relative axes shows up as /dev/input/event*, udev tags it a
keyboard and a mouse, and the events written to it are read back from its node, exactly those. A
device with ABS_X/ABS_Y 0..65535 and BTN_LEFT but no BTN_TOUCH - the shape of the replay device - is
tagged a mouse, not a touchscreen or tablet, and its events come back too.

Runs as root in the guest with Debian's python3-evdev. Every wait is for a condition, bounded only so a
broken guest fails instead of hanging; none is a measure of speed.
"""
import glob
import os
import select
import stat
import subprocess
import sys
import time

from evdev import AbsInfo, InputDevice, UInput, ecodes as e

WAIT_S = 120  # a bound for a broken guest: an emulated CPU on a busy host is slow


def fail(message):
    print(f"FAIL: {message}", flush=True)
    sys.exit(1)


def wait_for(what, probe):
    deadline = time.monotonic() + WAIT_S
    while not (result := probe()):
        if time.monotonic() > deadline:
            fail(f"{what}: not within {WAIT_S} s")
        time.sleep(0.1)
    return result


def event_node(name):
    """The /dev/input/event* node of the input device called name, from sysfs."""
    for sysdir in glob.glob("/sys/class/input/event*"):
        with open(f"{sysdir}/device/name") as f:
            if f.read().rstrip("\n") == name:
                node = f"/dev/input/{os.path.basename(sysdir)}"
                return node if os.path.exists(node) else None
    return None


def udev_properties(node):
    """udev's properties of node once udev has handled the device (USEC_INITIALIZED is set then)."""
    result = subprocess.run(["udevadm", "info", "--query=property", f"--name={node}"],
                            capture_output=True, text=True)
    properties = dict(line.split("=", 1) for line in result.stdout.splitlines() if "=" in line)
    return properties if "USEC_INITIALIZED" in properties else None


def name_of(event):
    etype, code, value = event
    names = e.bytype[etype].get(code, code)
    if isinstance(names, list):
        names = names[0]
    return f"{e.EV[etype]} {names} {value}"


def check_round_trip(uinput, reader, frames):
    """Writes frames (each a list of (type, code, value), sent with a SYN_REPORT after it) to uinput
    and expects exactly them back from reader's node. A uinput write has reached every reader's buffer
    when it returns, so once the expected number is in, nothing more may be waiting."""
    sent = []
    for frame in frames:
        for event in frame:
            uinput.write(*event)
        uinput.syn()
        sent += frame + [(e.EV_SYN, e.SYN_REPORT, 0)]
    received = []
    deadline = time.monotonic() + WAIT_S
    while len(received) < len(sent):
        remaining = deadline - time.monotonic()
        if remaining <= 0:
            break
        if select.select([reader.fd], [], [], remaining)[0]:
            received += [(ev.type, ev.code, ev.value) for ev in reader.read()]
    if select.select([reader.fd], [], [], 0)[0]:
        received += [(ev.type, ev.code, ev.value) for ev in reader.read()]
    if received != sent:
        fail(f"{reader.path} gave back\n  " + "\n  ".join(map(name_of, received)) +
             "\nbut was sent\n  " + "\n  ".join(map(name_of, sent)))
    print(f"ok: {reader.path} gave back the {len(sent)} events written to it", flush=True)


def create(name, capabilities):
    """A uinput device and its event node, open for reading, once udev has handled it."""
    uinput = UInput(capabilities, name=name, bustype=e.BUS_VIRTUAL, vendor=0x4c57, product=0x0001)
    node = wait_for(f"an event node for '{name}'", lambda: event_node(name))
    if not (node.startswith("/dev/input/event") and stat.S_ISCHR(os.stat(node).st_mode)):
        fail(f"'{name}' has {node}, not a character device /dev/input/event*")
    properties = wait_for(f"udev handling {node}", lambda: udev_properties(node))
    reader = InputDevice(node)
    # Without EV_REP the kernel repeats no held key, so what comes back cannot depend on timing.
    if e.EV_REP in reader.capabilities():
        fail(f"{node} has key repeat")
    print(f"ok: '{name}' is {node}", flush=True)
    return uinput, reader, properties


def expect_tags(node, properties, present, absent=()):
    wrong = [f"{tag} missing" for tag in present if properties.get(tag) != "1"]
    wrong += [f"{tag} set" for tag in absent if tag in properties]
    if wrong:
        listing = "\n  ".join(f"{k}={v}" for k, v in sorted(properties.items()))
        fail(f"udev's tags on {node}: {', '.join(wrong)}; it has\n  {listing}")
    print(f"ok: udev tags {node} {' '.join(present)}", flush=True)


def main():
    tag = os.getpid()
    # Both devices live until the end: a node freed earlier would be numbered again, and udev's record
    # of the old device could be read for the new one until udev has handled the removal.
    devices = []
    try:
        # Every key from Escape on (udev calls a device a keyboard when it has Escape through D), the
        # mouse buttons, motion and the wheel.
        keys = list(range(e.KEY_ESC, e.KEY_MICMUTE + 1))
        buttons = [e.BTN_LEFT, e.BTN_RIGHT, e.BTN_MIDDLE, e.BTN_SIDE, e.BTN_EXTRA]
        devices.append(create(f"LoopWren VM check keyboard+mouse {tag}", {
            e.EV_KEY: keys + buttons,
            e.EV_REL: [e.REL_X, e.REL_Y, e.REL_WHEEL, e.REL_HWHEEL],
        }))
        # Absolute axes with a left button and no touch: udev's input_id takes that for a mouse.
        axis = AbsInfo(value=0, min=0, max=65535, fuzz=0, flat=0, resolution=0)
        devices.append(create(f"LoopWren VM check absolute pointer {tag}", {
            e.EV_KEY: [e.BTN_LEFT],
            e.EV_ABS: [(e.ABS_X, axis), (e.ABS_Y, axis)],
        }))
        (keyboard, keyboard_node, keyboard_tags), (pointer, pointer_node, pointer_tags) = devices

        expect_tags(keyboard_node.path, keyboard_tags, ["ID_INPUT", "ID_INPUT_KEYBOARD", "ID_INPUT_MOUSE"])
        expect_tags(pointer_node.path, pointer_tags, ["ID_INPUT", "ID_INPUT_MOUSE"],
                    absent=["ID_INPUT_TOUCHSCREEN", "ID_INPUT_TABLET", "ID_INPUT_TOUCHPAD",
                            "ID_INPUT_JOYSTICK", "ID_INPUT_KEYBOARD"])

        check_round_trip(keyboard, keyboard_node, [
            [(e.EV_KEY, e.KEY_LEFTSHIFT, 1)],
            [(e.EV_KEY, e.KEY_A, 1)],
            [(e.EV_KEY, e.KEY_A, 0)],
            [(e.EV_KEY, e.KEY_LEFTSHIFT, 0)],
            [(e.EV_KEY, e.BTN_LEFT, 1)],
            [(e.EV_KEY, e.BTN_LEFT, 0)],
            [(e.EV_KEY, e.BTN_RIGHT, 1)],
            [(e.EV_KEY, e.BTN_RIGHT, 0)],
            [(e.EV_REL, e.REL_X, 5), (e.EV_REL, e.REL_Y, -3)],
            [(e.EV_REL, e.REL_WHEEL, -1)],
        ])
        check_round_trip(pointer, pointer_node, [
            [(e.EV_ABS, e.ABS_X, 32768), (e.EV_ABS, e.ABS_Y, 65535)],
            [(e.EV_KEY, e.BTN_LEFT, 1)],
            [(e.EV_KEY, e.BTN_LEFT, 0)],
            [(e.EV_ABS, e.ABS_X, 1)],
        ])
    finally:
        for uinput, reader, _ in devices:
            reader.close()
            uinput.close()
    print("ok: kernel input devices work", flush=True)


if __name__ == "__main__":
    main()
