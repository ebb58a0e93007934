#!/usr/bin/env python3
"""Times whole processes side by side: runs each command in turn, round after round, so that
a machine shared with other work disturbs them alike, and prints each command's CPU time
(user + system) and wall time, minimum and median, and their ratios to the last command.

    interleave.py ROUNDS 'COMMAND A' 'COMMAND B' ...   (standard output goes to /dev/null)
"""
import os
import shlex
import statistics
import subprocess
import sys
import time


def run(command):
    start = time.perf_counter()
    with open(os.devnull, "wb") as sink:
        process = subprocess.Popen(shlex.split(command), stdout=sink)
        _, status, usage = os.wait4(process.pid, 0)
    wall = time.perf_counter() - start
    if os.waitstatus_to_exitcode(status) != 0:
        sys.exit(f"failed: {command}")
    return usage.ru_utime + usage.ru_stime, wall


def main():
    rounds, commands = int(sys.argv[1]), sys.argv[2:]
    cpu = {c: [] for c in commands}
    wall = {c: [] for c in commands}
    for c in commands:  # warm the caches
        run(c)
    for _ in range(rounds):
        for c in commands:
            t, w = run(c)
            cpu[c].append(t)
            wall[c].append(w)
    anchor = commands[-1]
    for c in commands:
        print(f"{c}\n  cpu  min {min(cpu[c]) * 1e3:7.1f} ms  median {statistics.median(cpu[c]) * 1e3:7.1f} ms"
              f"   wall min {min(wall[c]) * 1e3:7.1f} ms  median {statistics.median(wall[c]) * 1e3:7.1f} ms")
        if c != anchor:
            print(f"  ratio to the last: cpu min {min(cpu[c]) / min(cpu[anchor]):.3f}"
                  f" median {statistics.median(cpu[c]) / statistics.median(cpu[anchor]):.3f};"
                  f" wall min {min(wall[c]) / min(wall[anchor]):.3f}"
                  f" median {statistics.median(wall[c]) / statistics.median(wall[anchor]):.3f}")


if __name__ == "__main__":
    main()
