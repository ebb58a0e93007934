"""A sweep of the tuning fork's base rate with gyrosim.run_many, drawn with matplotlib.

    python3 sweep.py [OUT.png]

Left: the sense motion Y1 at the end of each run; right: its components at the drive
frequency against the rate, with the straight line through them (the scale factor).
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
# Every step sampled, so that the drive period (0.1 ms) is drawn smoothly.
model = gyrosim.Model("pelisond", {"StopTime": stop, "PrintStep": 3e-6})
w = model["DriveFrequency"]

runs = gyrosim.run_many([{"BaseRate": float(b)} for b in rates], model=model)
for r in runs:
    if r.status != "ok":
        sys.exit(f"{r!r}: {r.message}")


def components(r):
    """Y1 = a cos(wt) + b sin(wt) + c over the run's second half, by least squares."""
    keep = r.time >= stop / 2
    t = r.time[keep]
    basis = np.column_stack([np.cos(w * t), np.sin(w * t), np.ones_like(t)])
    return np.linalg.lstsq(basis, r["Y1"][keep], rcond=None)[0][:2]


a, b = np.array([components(r) for r in runs]).T
slope_a, offset_a = np.polyfit(rates, a, 1)
slope_b, offset_b = np.polyfit(rates, b, 1)

fig, (left, right) = plt.subplots(1, 2, figsize=(11, 4.2), constrained_layout=True)
for rate, r in zip(rates, runs):
    if rate in (rates[0], 0.0, rates[-1]):
        last = r.time >= stop - 5 * 2 * np.pi / w
        left.plot(r.time[last] * 1e3, r["Y1"][last], label=f"BaseRate {rate:+.1f} 1/с")
left.set(xlabel="t, мс", ylabel="Y1, мкм", title="Чувствительное движение в конце расчета")
left.legend(fontsize=8)
right.plot(rates, a, "o", label=f"при cos wt: {slope_a:.4g} мкм·с")
right.plot(rates, b, "s", label=f"при sin wt: {slope_b:.4g} мкм·с")
right.plot(rates, slope_a * rates + offset_a, "C0-", lw=0.8)
right.plot(rates, slope_b * rates + offset_b, "C1-", lw=0.8)
right.set(xlabel="BaseRate, 1/с", ylabel="составляющая Y1, мкм", title="Масштабный коэффициент")
right.grid(alpha=0.3)
right.legend(fontsize=8)
fig.savefig(out, dpi=90)
print(f"{out}: {len(runs)} расчетов; Y1 на 1/с: {slope_a:.5g} (cos wt), {slope_b:.5g} (sin wt) мкм·с")
