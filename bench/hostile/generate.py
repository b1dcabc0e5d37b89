#!/usr/bin/env python3
"""Writes a macro of N events to PATH as the application writes it (pretty-printed, ~180 bytes an
event), streaming, so a file of millions of events costs no memory to make. The first event puts the
pointer at the monitor position (7, 7), which tells a watcher that the playback has begun.

usage: generate.py PATH N
"""
import sys

path, count = sys.argv[1], int(sys.argv[2])

# A recording-like mix: moves, key taps, clicks, a scroll and a wait.
BODIES = [
    '"type": "mouseMoved",\n    "delaySincePrevious": 0.008,\n    "location": [%d, %d],\n    "flags": 0',
    '"type": "keyDown",\n    "delaySincePrevious": 0.031,\n    "keyCode": 0,\n    "flags": 131072',
    '"type": "keyUp",\n    "delaySincePrevious": 0.012,\n    "keyCode": 0,\n    "flags": 131072',
    '"type": "mouseDown",\n    "delaySincePrevious": 0.2,\n    "location": [%d, %d],\n    "mouseButton": "left",\n    "clickCount": 1,\n    "flags": 0',
    '"type": "mouseUp",\n    "delaySincePrevious": 0.09,\n    "location": [%d, %d],\n    "mouseButton": "left",\n    "clickCount": 1,\n    "flags": 0',
    '"type": "scroll",\n    "delaySincePrevious": 0.05,\n    "location": [%d, %d],\n    "scrollDeltaY": -1,\n    "flags": 0',
    '"type": "wait",\n    "delaySincePrevious": 0.5',
]

with open(path, "w", buffering=1 << 22) as out:
    out.write("[\n")
    chunk = []
    for i in range(count):
        body = BODIES[i % len(BODIES)]
        if i == 1:
            body = '"type": "wait",\n    "delaySincePrevious": 2'
        if "%d" in body:
            position = (7, 7) if i == 0 else (100 + i % 1200, 100 + i % 700)
            body = body % position
        chunk.append('  {\n    "id": "%08X-0000-4000-8000-%012X",\n    %s\n  }' % (i, i, body))
        if len(chunk) == 10000:
            out.write(",\n".join(chunk))
            chunk = []
            if i + 1 < count:
                out.write(",\n")
    if chunk:
        out.write(",\n".join(chunk))
    out.write("\n]\n")
