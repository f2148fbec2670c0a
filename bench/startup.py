#!/usr/bin/env python3
"""Start-up time and peak memory of the trainer against the floor Qt sets.

Runs the trainer's start-up probe and the floor probe alternately, each ended at its
window's first paint, and reports the medians of the time from launch to first paint and of
the peak resident memory, and their ratios. Usage: startup.py BUILD_DIR [RUNS]
"""
import os
import statistics
import subprocess
import sys
import time

build = sys.argv[1]
runs = int(sys.argv[2]) if len(sys.argv) > 2 else 30
probes = {"trainer": os.path.join(build, "startup_probe"), "floor": os.path.join(build, "floor_probe")}
env = dict(os.environ)
env.setdefault("QT_QPA_PLATFORM", "offscreen")


def one(path):
    env["STARTUP_T0"] = str(time.clock_gettime_ns(time.CLOCK_MONOTONIC))
    proc = subprocess.Popen([path], env=env, stdout=subprocess.PIPE, stderr=subprocess.DEVNULL)
    out = proc.stdout.read().decode()
    _, status, usage = os.wait4(proc.pid, 0)
    if status != 0:
        sys.exit(f"{path} failed with status {status}")
    paint = float(out.split()[1])
    return paint, usage.ru_maxrss / 1024.0  # ms, MiB


results = {name: ([], []) for name in probes}
for name, path in probes.items():  # warm the page cache once
    one(path)
for _ in range(runs):
    for name, path in probes.items():
        paint, rss = one(path)
        results[name][0].append(paint)
        results[name][1].append(rss)

med = {name: (statistics.median(p), statistics.median(m)) for name, (p, m) in results.items()}
print(f"platform {env['QT_QPA_PLATFORM']}, {runs} runs each, medians")
for name in probes:
    print(f"  {name:8s} first paint {med[name][0]:7.1f} ms   peak memory {med[name][1]:6.1f} MiB")
print(f"  ratio    first paint {med['trainer'][0] / med['floor'][0]:7.2f}x     "
      f"peak memory {med['trainer'][1] / med['floor'][1]:6.2f}x")
