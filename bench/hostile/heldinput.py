#!/usr/bin/env python3
"""Prints which keys (XQueryKeymap) and pointer buttons 1-5 the X server on $DISPLAY has held down, e.g.
"keys none, buttons none". Uses libX11 directly, so it needs nothing beyond what LoopWren runs on."""
import ctypes

x11 = ctypes.CDLL("libX11.so.6")
x11.XOpenDisplay.restype = ctypes.c_void_p
x11.XDefaultRootWindow.restype = ctypes.c_ulong
display = ctypes.c_void_p(x11.XOpenDisplay(None))
if not display.value:
    raise SystemExit("cannot open the display")

keymap = (ctypes.c_char * 32)()
x11.XQueryKeymap(display, keymap)
keys = [code for code in range(256) if keymap.raw[code // 8] >> (code % 8) & 1]

windows = [ctypes.c_ulong() for _ in range(2)]
positions = [ctypes.c_int() for _ in range(4)]
mask = ctypes.c_uint()
x11.XQueryPointer(display, ctypes.c_ulong(x11.XDefaultRootWindow(display)),
                  *(ctypes.byref(w) for w in windows), *(ctypes.byref(p) for p in positions), ctypes.byref(mask))
# Button1Mask is 1 << 8.
buttons = [button for button in range(1, 6) if mask.value & (1 << (7 + button))]
print("keys %s, buttons %s" % (" ".join(map(str, keys)) or "none", " ".join(map(str, buttons)) or "none"))
