"""A sweep of the tuning fork's base rate with gyrosim.run_many, drawn with matplotlib.

    python3 sweep.py [OUT.png]

Left: the drift estimate of each run over time; right: its steady mean against the rate.
GYROSIM_EXAMPLE_SIZE=small makes a few short runs (as the tests do).
"""

import os
import sys

import matplotlib.pyplot as plt
import numpy as np

import gyrosim

small = os.environ.get("GYROSIM_EXAMPLE_SIZE") == "small"
out = sys.argv[1] if len(sys.argv) > 1 else "sweep.png"
stop = 0.01 if small else 0.06
rates = np.linspace(-2.0, 2.0, 5 if small else 9)

runs = gyrosim.run_many([{"BaseRate": float(b)} for b in rates], model="pelisond", base={"StopTime": stop})
for r in runs:
    if r.status != "ok":
        sys.exit(f"{r!r}: {r.message}")

# The steady part: the second half of each run.
steady = [r["Drift"][r.time >= stop / 2].mean() for r in runs]

fig, (left, right) = plt.subplots(1, 2, figsize=(11, 4.2), constrained_layout=True)
for b, r in zip(rates, runs):
    left.plot(r.time * 1e3, r["Drift"], lw=0.8, label=f"{b:+.1f} 1/с")
left.set(xlabel="t, мс", ylabel="Drift, °/ч", title="Оценка дрейфа по ходу расчета")
left.legend(fontsize=7, ncol=2)
right.plot(rates, steady, "o-")
right.set(xlabel="BaseRate, 1/с", ylabel="Drift (вторая половина), °/ч", title="Установившийся дрейф")
right.grid(alpha=0.3)
fig.savefig(out, dpi=90)
print(f"{out}: {len(runs)} расчетов, дрейф от {min(steady):.4g} до {max(steady):.4g} °/ч")
