"""The gyroscope models veltrami and pelisond, and the gyro-study engine, from Python.

    import gyrosim
    m = gyrosim.Model("pelisond")        # the program's data file, as the run tools read it
    m.set(StopTime=0.05)
    r = m.run()                          # r.status, r.time, r["Drift"]: numpy arrays
    runs = gyrosim.run_many([{"BaseRate": b} for b in (0.0, 1.0)], model="pelisond")
    res = gyrosim.study("pelisond-batch-scatter.json")  # res.runs, res.summary

The numbers are those of the run tools (pelisond-run, veltrami-run) and of gyro-study.
The programs' data files are found where the package was installed with them; the
environment variable GYROSIM_DATA_DIR names another folder holding them.
"""

import os as _os

from ._gyrosim import Model, Run, StudyResult, run_many, study
from ._gyrosim import _set_data_directory
from ._location import DATA_DIRECTORY as _DATA_DIRECTORY

_set_data_directory(_os.path.join(_os.environ.get("GYROSIM_DATA_DIR") or _DATA_DIRECTORY, ""))

__all__ = ["Model", "Run", "StudyResult", "run_many", "study"]
for _name in __all__:
    globals()[_name].__module__ = __name__  # help() and repr name the package, not its extension
