"""A Monte Carlo study of the tuning fork's drift, its histogram drawn from res.runs.

    python3 monte_carlo.py [OUT.png]

Runs the batch-scatter preset (imperfections drawn at random) through gyro-study's engine.
GYROSIM_EXAMPLE_SIZE=small draws a few runs (as the tests do).
"""

import json
import os
import sys

import matplotlib.pyplot as plt
import numpy as np

import gyrosim

small = os.environ.get("GYROSIM_EXAMPLE_SIZE") == "small"
out = sys.argv[1] if len(sys.argv) > 1 else "monte_carlo.png"
here = os.path.dirname(os.path.abspath(__file__))
with open(os.path.join(here, "..", "pelisond-batch-scatter.json"), encoding="utf-8") as f:
    source = json.load(f)
if small:
    source["montecarlo"]["count"] = 12
    source["set"]["StopTime"] = 0.01

res = gyrosim.study(source)
drift = res.runs["drift"][np.array(res.runs["status"]) == "ok"]
stats = res.summary["figures"]["drift"]
print(f"{len(drift)} расчетов: дрейф {stats['mean']:.4g} ± {stats['sd']:.4g} °/ч (p5 {stats['p5']:.4g}, p95 {stats['p95']:.4g})")

fig, ax = plt.subplots(figsize=(7, 4.2), constrained_layout=True)
ax.hist(drift, bins=max(5, int(np.sqrt(len(drift)))), color="C0", alpha=0.8)
ax.axvline(stats["mean"], color="C1", label=f"среднее {stats['mean']:.3g} °/ч")
ax.set(xlabel="дрейф, °/ч", ylabel="расчетов", title=f"Разброс дрейфа по партии ({len(drift)} расчетов)")
ax.legend()
fig.savefig(out, dpi=90)
