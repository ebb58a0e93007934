#!/usr/bin/env python3
"""Python's overhead on the nominal pelisond run: the wall time of gyrosim's Model.run() and
of taking every series as numpy arrays, against the wall time of the integration inside it
(Run.seconds, measured in C++). Rounds repeat so that a busy machine disturbs them alike;
the least disturbed round (the minimum) and the median are printed.

    PYTHONPATH=BUILD/python python3 bench/python_overhead.py [ROUNDS]
"""
import statistics
import sys
import time

import gyrosim


def main():
    rounds = int(sys.argv[1]) if len(sys.argv) > 1 else 20
    model = gyrosim.Model("pelisond")
    model.run()  # warm: first-touch of the series' memory, the module's first calls
    overheads, runs = [], []
    for _ in range(rounds):
        start = time.perf_counter()
        r = model.run()
        arrays = [r.time, *r.series.values()]
        wall = time.perf_counter() - start
        assert r.status == "ok" and len(arrays[0]) == len(r)
        runs.append(r.seconds)
        overheads.append((wall - r.seconds) / r.seconds)
    print(f"nominal pelisond run ({len(r)} samples): integration {min(runs) * 1e3:.1f} ms min, "
          f"{statistics.median(runs) * 1e3:.1f} ms median over {rounds} rounds")
    print(f"Python overhead: {min(overheads) * 100:.2f} % min, {statistics.median(overheads) * 100:.2f} % median "
          f"of the integration")


if __name__ == "__main__":
    main()
