#!/usr/bin/env python3
"""Runs a command and writes how it went to REPORT: its peak resident memory (KiB, from the kernel's
accounting of the finished child), the wall time and the exit status (128 + N for signal N). The
command's process id goes to REPORT.pid as soon as it runs, for whoever wants to watch or signal it.

usage: measure.py REPORT COMMAND [ARGUMENT...]
"""
import resource
import subprocess
import sys
import time

report, command = sys.argv[1], sys.argv[2:]
started = time.monotonic()
child = subprocess.Popen(command)
with open(report + ".pid", "w") as out:
    out.write("%d\n" % child.pid)
status = child.wait()
seconds = time.monotonic() - started
if status < 0:
    status = 128 - status
peak = resource.getrusage(resource.RUSAGE_CHILDREN).ru_maxrss
with open(report, "w") as out:
    out.write("peak_kib=%d seconds=%.2f status=%d\n" % (peak, seconds, status))
sys.exit(status)
