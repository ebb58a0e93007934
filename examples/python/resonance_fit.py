"""The drive frequency that maximises the tuning fork's sense amplitude, found with scipy.

    python3 resonance_fit.py [OUT.png]

Each run retunes the frame and sense stiffnesses to its drive frequency, while the drive
modes X1, X2 keep their stiffness: the sense amplitude then peaks where the drive mode
resonates, sqrt(StiffnessX1 / Mass1), which the shipped data tune to the nominal drive
frequency. The fit finds that peak and compares it with the tuned resonance.
GYROSIM_EXAMPLE_SIZE=small makes the runs short and the fit coarse (as the tests do).
"""

import math
import os
import sys

import matplotlib.pyplot as plt
import numpy as np
from scipy.optimize import minimize_scalar

import gyrosim

small = os.environ.get("GYROSIM_EXAMPLE_SIZE") == "small"
out = sys.argv[1] if len(sys.argv) > 1 else "resonance_fit.png"
model = gyrosim.Model("pelisond")
model["StopTime"] = 0.012 if small else 0.03
nominal = model["DriveFrequency"]
tuned = math.sqrt(model["StiffnessX1"] / model["Mass1"])


def sense_amplitude(w):
    """Amplitude of Y1 at the drive frequency w over the run's last quarter (least squares)."""
    model["DriveFrequency"] = w
    r = model.run()
    if r.status != "ok":
        raise RuntimeError(r.message)
    keep = r.time >= 0.75 * model["StopTime"]
    t, y = r.time[keep], r["Y1"][keep]
    basis = np.column_stack([np.cos(w * t), np.sin(w * t), np.ones_like(t)])
    c, s, _ = np.linalg.lstsq(basis, y, rcond=None)[0]
    return math.hypot(c, s)


span = 0.03 * nominal
fit = minimize_scalar(lambda w: -sense_amplitude(w), bounds=(nominal - span, nominal + span), method="bounded",
                      options={"xatol": 20.0 if small else 2.0})
best = fit.x
print(f"наибольшая амплитуда чувствительного движения при w = {best:.1f} 1/с ({fit.nfev} расчетов)")
print(f"резонанс привода sqrt(StiffnessX1/Mass1) = {tuned:.1f} 1/с, номинальная частота {nominal:.1f} 1/с; "
      f"отличие {100 * (best - tuned) / tuned:+.3f} %")

frequencies = np.linspace(nominal - span, nominal + span, 7 if small else 25)
amplitudes = [sense_amplitude(w) for w in frequencies]
fig, ax = plt.subplots(figsize=(7, 4.2), constrained_layout=True)
ax.plot(frequencies, amplitudes, "o-", label="амплитуда Y1")
ax.axvline(best, color="C1", label=f"максимум по scipy: {best:.0f} 1/с")
ax.axvline(tuned, color="C2", ls="--", label=f"sqrt(StiffnessX1/Mass1): {tuned:.0f} 1/с")
ax.set(xlabel="DriveFrequency, 1/с", ylabel="амплитуда Y1, мкм", title="Чувствительное движение и частота привода")
ax.legend(fontsize=8)
fig.savefig(out, dpi=90)
