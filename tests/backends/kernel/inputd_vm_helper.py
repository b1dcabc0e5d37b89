#!/usr/bin/python3
# Helpers for the input service's VM check (inputd_vm_check.sh), on python3-evdev and the socket module:
#   keyboard FIFO          a uinput keyboard that types the key names written to FIFO ("quit" ends it)
#   replay-device          a uinput device with LoopWren's replay device's name, until killed
#   drained PID NODE       waits until process PID has read everything queued on its handle of NODE
#   callers REPLAY_NODE    a caller misbehaving in every way the service must survive; prints findings
#   lend NODE              asks for NODE and prints the answer ("lent NAME" or "refused REASON")
#   revoke-latency NODE N  N times: borrows NODE, says "ready", waits for the handle to die, prints the
#                          time between the moment written to /run/lwtest/switched and the death (µs)
import ctypes, errno, fcntl, os, select, socket, struct, sys, time

SOCKET = "/run/loopwren/inputd.sock"
LEND, STOP, LENT, REMOVED, REVOKED, REFUSED = 1, 2, 16, 17, 18, 19
EVIOCGNAME = 0x80ff4506  # _IOC(_IOC_READ, 'E', 0x06, 255)


def message(kind, payload=b""):
    return bytes([1, kind]) + struct.pack("<H", len(payload)) + payload


def connect():
    s = socket.socket(socket.AF_UNIX, socket.SOCK_SEQPACKET)
    s.connect(SOCKET)
    return s


def answer(s):
    """(type, reason or None, payload, fds), or None when the service closed the connection."""
    data, fds, _, _ = socket.recv_fds(s, 256, 4)
    if not data:
        return None
    kind = data[1]
    reason = data[4] if kind in (REVOKED, REFUSED) else None
    return kind, reason, data[4 + (reason is not None):], fds


def lend(s, node):
    s.send(message(LEND, node.encode()))
    return answer(s)


def device_name(fd):
    buf = bytearray(256)
    fcntl.ioctl(fd, EVIOCGNAME, buf)
    return buf.split(b"\0")[0].decode()


def keyboard(fifo):
    from evdev import UInput, ecodes
    keys = [getattr(ecodes, "KEY_" + k) for k in "ASDFGHJKL"]
    with UInput({ecodes.EV_KEY: keys}, name="LoopWren test keyboard") as ui:
        print(ui.device.path, flush=True)
        while True:
            with open(fifo) as commands:
                for line in commands:
                    words = line.split()
                    if words == ["quit"]:
                        return
                    for word in words:
                        code = getattr(ecodes, "KEY_" + word.upper())
                        for value in (1, 0):
                            ui.write(ecodes.EV_KEY, code, value)
                            ui.syn()
                            time.sleep(0.02)
                    print("typed", flush=True)


def replay_device():
    from evdev import UInput, ecodes
    with UInput({ecodes.EV_KEY: [ecodes.KEY_A]}, name="LoopWren virtual input") as ui:
        print(ui.device.path, flush=True)
        while True:
            time.sleep(3600)


def drained(pid, node):
    # A handle of the same open file shows whether anything is still queued for the recorder to read.
    libc = ctypes.CDLL(None, use_errno=True)
    pidfd = os.pidfd_open(pid)
    found = False
    for name in os.listdir(f"/proc/{pid}/fd"):
        try:
            if os.readlink(f"/proc/{pid}/fd/{name}") != node:
                continue
        except OSError:
            continue
        fd = libc.syscall(438, pidfd, int(name), 0)  # pidfd_getfd
        if fd < 0:
            continue
        while select.select([fd], [], [], 0)[0]:
            time.sleep(0.05)
        os.close(fd)
        found = True
    print("drained" if found else "no handle of " + node)
    sys.exit(0 if found else 1)


def callers(replay_node):
    findings = []

    def check(name, ok, detail=""):
        findings.append(ok)
        print(("ok   " if ok else "FAIL ") + name + ("" if ok else ": " + str(detail)), flush=True)

    def refused_and_closed(packet, handles=()):
        s = connect()
        socket.send_fds(s, [packet], list(handles)) if handles else s.send(packet)
        first = answer(s)
        second = answer(s)
        return first, second

    bad = {
        "truncated header": b"\x01\x01",
        "truncated payload": message(LEND, b"/dev/input/event0")[:-4],
        "oversized": message(LEND, b"/" + b"a" * 300),
        "unknown version": b"\x07\x01\x00\x00",
        "unknown type": message(99),
        "an answer sent as a request": message(LENT, b"/dev/input/event0"),
        "empty path": message(LEND),
    }
    for name, packet in bad.items():
        first, second = refused_and_closed(packet)
        check("malformed (" + name + ") is refused and closed",
              first is not None and first[0] == REFUSED and first[1] == 9 and second is None, (first, second))
    with open("/dev/null") as null:
        first, second = refused_and_closed(message(LEND, b"/dev/input/event0"), [null.fileno()])
        check("a request carrying a handle is refused and closed",
              first and first[0] == REFUSED and second is None, (first, second))
    # Out of order: a request after stop.
    s = connect()
    s.send(message(STOP))
    check("nothing is answered after stop", answer(s) is None)
    # A caller that vanishes mid-way, then one that asks properly: the service is still there.
    for _ in range(5):
        v = connect()
        v.send(message(LEND, b"/dev/input/event0"))
        v.close()
    for path, why in (("/dev/input/../input/event0", "a ../ path"),
                      ("/dev/input/event0/..", "a path with .."),
                      ("/dev/input/event99", "a symlink"),
                      ("/dev/input/event98", "a character node that is no input device"),
                      ("/dev/tty1", "a path outside /dev/input/event*"),
                      ("/dev/input/mice", "a legacy input node"),
                      (replay_node, "LoopWren's replay device")):
        s = connect()
        got = lend(s, path)
        check(why + " is refused", got and got[0] == REFUSED and not got[3] and got[1] in (7, 8), got)
        s.close()
    return all(findings)


def main():
    what = sys.argv[1]
    if what == "keyboard":
        keyboard(sys.argv[2])
    elif what == "replay-device":
        replay_device()
    elif what == "drained":
        drained(int(sys.argv[2]), sys.argv[3])
    elif what == "callers":
        sys.exit(0 if callers(sys.argv[2]) else 1)
    elif what == "lend":
        s = connect()
        got = lend(s, sys.argv[2])
        if got and got[0] == LENT and got[3]:
            print("lent", device_name(got[3][0]))
        else:
            print("refused", got and got[1])
    elif what == "revoke-latency":
        node, rounds = sys.argv[2], int(sys.argv[3])
        marker = "/run/lwtest/switched"
        for _ in range(rounds):
            while True:
                s = connect()
                got = lend(s, node)
                if got and got[0] == LENT:
                    break
                s.close()
                time.sleep(0.1)
            fd = got[3][0]
            print("ready", flush=True)
            poller = select.poll()
            poller.register(fd, select.POLLERR | select.POLLHUP)
            while not poller.poll(1000):
                pass
            dead = time.clock_gettime_ns(time.CLOCK_MONOTONIC) // 1000
            while not os.path.exists(marker):
                time.sleep(0.01)
            with open(marker) as f:
                switched = int(f.read().strip())
            os.unlink(marker)
            print("latency_us", dead - switched, flush=True)
            os.close(fd)
            s.close()


main()
