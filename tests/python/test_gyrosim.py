"""The gyrosim module against the run tools and gyro-study it must equal, bit for bit."""

import json
import os
import signal
import subprocess
import sys
import threading
import time

import numpy as np
import pytest

import gyrosim

BIN = os.environ["GYRO_BIN_DIR"]
EXAMPLES = os.environ["GYRO_EXAMPLES_DIR"]

# Short runs of each model, with a field that does not change the steps or the drive frequency.
SHORT = {"pelisond": {"StopTime": 0.01}, "veltrami": {"StopTime": 2}}


def bits(values):
    return np.asarray(values, dtype=np.float64).view(np.uint64)


def assert_same_run(a, b):
    assert (a.status, a.message, len(a)) == (b.status, b.message, len(b))
    assert np.array_equal(bits(a.time), bits(b.time))
    for name in a.series:
        assert np.array_equal(bits(a[name]), bits(b[name])), name


@pytest.mark.parametrize("name", ["pelisond", "veltrami"])
def test_a_run_is_the_run_tools_csv_bit_for_bit_and_outlives_its_model(name):
    sets = [f"--set={k}={v}" for k, v in SHORT[name].items()]
    csv = subprocess.run([os.path.join(BIN, f"{name}-run"), *sets], check=True, capture_output=True, text=True).stdout
    header, *rows = csv.splitlines()
    table = np.array([[float(x) for x in row.split(",")] for row in rows])

    m = gyrosim.Model(name)
    m.set(**SHORT[name])
    r = m.run()
    assert header.split(",") == ["sample", "t", *r.series]
    assert r.status == "ok" and len(r) == len(rows) > 100
    assert np.array_equal(bits(r.time), bits(table[:, 1]))
    for column, series in enumerate(r.series.values(), start=2):
        assert np.array_equal(bits(series), bits(table[:, column]))

    # Views of the run's own samples, read-only, valid after the model changes and the Run is dropped.
    drift = r[list(r.series)[-1]]
    assert np.shares_memory(drift, r[list(r.series)[-1]]) and not drift.flags.writeable
    m["StopTime"] = 2 * SHORT[name]["StopTime"]
    again = m.run()
    assert len(again) > len(r) and np.array_equal(drift, table[:, -1])
    del r
    assert np.array_equal(bits(drift), bits(table[:, -1]))
    assert repr(again) == f"<gyrosim.Run {name}: ok, {len(again)} samples>"


@pytest.mark.parametrize("name, field, values", [
    ("pelisond", "DriveFrequency", [62800.0, 62000.0, 63500.0, 62801.0, 61000.0, 64000.0]),
    ("veltrami", "MomentBetFrequency", [20.0, 5.0, 50.0, 21.0, 100.0]),
])
def test_run_many_returns_exactly_the_single_runs(name, field, values):
    base = dict(SHORT[name])
    # Lanes of different drive frequencies; one run with other steps goes alone; one refused stays a status.
    sets = [{field: v} for v in values]
    sets.insert(2, {field: values[0], "StopTime": 1.5 * base["StopTime"]})
    sets.append({"Step": 0.0})
    runs = gyrosim.run_many(sets, model=name, base=base, workers=2)
    assert [r.status for r in runs] == ["ok"] * (len(sets) - 1) + ["refused"]
    for values_of_run, many in zip(sets, runs):
        single = gyrosim.Model(name, {**base, **values_of_run}).run()
        assert_same_run(many, single)
        if name == "pelisond" and many.status == "ok":
            assert np.array_equal(bits(many["DriftAtSample"]), bits(single["DriftAtSample"]))


def test_study_writes_gyro_studys_files(tmp_path):
    source = {
        "model": "pelisond",
        "set": {"StopTime": 0.01},
        "grid": {"BaseRate": {"linspace": [-1, 1, 5]}},
        "figures": {
            "y1": {"series": "Y1", "stat": "quadrature", "frequency": "DriveFrequency", "from": 0.5},
            "drift": {"series": "Drift", "stat": "mean", "from": 0.5},
        },
        "scale_factor": {"rate": "BaseRate", "responses": ["y1"], "bias": "drift"},
    }
    study_file = tmp_path / "study.json"
    study_file.write_text(json.dumps(source))
    subprocess.run([os.path.join(BIN, "gyro-study"), str(study_file), "--out", str(tmp_path / "tool"), "--workers", "2"],
                   check=True, capture_output=True)
    res = gyrosim.study(source, workers=1, out=tmp_path / "module")
    for name in ("runs.csv", "summary.json", "study.json"):
        assert (tmp_path / "module" / name).read_bytes() == (tmp_path / "tool" / name).read_bytes(), name
    assert res.summary == json.loads((tmp_path / "tool" / "summary.json").read_text())
    header, *rows = (tmp_path / "tool" / "runs.csv").read_text().splitlines()
    assert list(res.runs) == header.split(",")
    assert res.runs["status"] == ["ok"] * 5
    y1 = header.split(",").index("y1")
    assert np.array_equal(res.runs["y1"], [float(row.split(",")[y1]) for row in rows])
    # Another study's folder is never written over.
    with pytest.raises(ValueError, match="другого исследования"):
        gyrosim.study({**source, "set": {"StopTime": 0.02}}, out=tmp_path / "tool")
    assert (tmp_path / "module" / "runs.csv").read_bytes() == (tmp_path / "tool" / "runs.csv").read_bytes()


def test_runs_in_threads_overlap():
    m = gyrosim.Model("pelisond", {"StopTime": 4.0, "PrintStep": 0.001})
    barrier = threading.Barrier(2)
    runs = [None, None]

    def work(k):
        barrier.wait()
        runs[k] = m.run()

    threads = [threading.Thread(target=work, args=(k,)) for k in range(2)]
    for t in threads:
        t.start()
    for t in threads:
        t.join()
    # Integrations holding the GIL would follow one another.
    starts = [r.started for r in runs]
    ends = [r.started + r.seconds for r in runs]
    assert max(starts) < min(ends)
    assert_same_run(*runs)


def test_ctrl_c_cancels_a_run_or_a_study_and_keeps_what_was_done(tmp_path):
    m = gyrosim.Model("pelisond", {"StopTime": 100.0, "PrintStep": 0.001})
    threading.Timer(0.3, os.kill, (os.getpid(), signal.SIGINT)).start()
    with pytest.raises(KeyboardInterrupt) as caught:
        m.run()
    run = caught.value.run
    assert run.status == "cancelled" and 0 < run.stopped_at < 100.0
    assert 0 < len(run) < 100.0 / 0.001
    assert run.time[-1] <= run.stopped_at

    # Runs side by side in worker threads stop too (a run of 100 s each would outlast the test).
    threading.Timer(0.3, os.kill, (os.getpid(), signal.SIGINT)).start()
    with pytest.raises(KeyboardInterrupt):
        gyrosim.run_many([{"StopTime": 100.0, "BaseRate": b} for b in range(8)], workers=2)

    source = {"model": "pelisond", "set": {"StopTime": 0.5}, "grid": {"BaseRate": {"linspace": [-1, 1, 400]}},
              "figures": {"drift": {"series": "Drift", "stat": "mean", "from": 0.5}}}
    threading.Timer(0.3, os.kill, (os.getpid(), signal.SIGINT)).start()
    with pytest.raises(KeyboardInterrupt):
        gyrosim.study(source, workers=2, out=tmp_path)
    summary = json.loads((tmp_path / "summary.json").read_text())
    rows = (tmp_path / "runs.csv").read_text().splitlines()[1:]
    assert summary["interrupted"] and summary["finished"] == len(rows) < 400
    # run, BaseRate, status, message, drift and its settle check's drift_half: whole rows only.
    assert all(row.count(",") == 5 for row in rows)


def test_bad_fields_and_values_raise_and_change_nothing():
    m = gyrosim.Model("pelisond")
    before = m.parameters
    with pytest.raises(KeyError, match="Nope"):
        m["Nope"] = 1
    with pytest.raises(KeyError):
        m.set(StopTime=0.2, Nope=1)
    with pytest.raises(KeyError):
        gyrosim.run_many([{"BaseRate": 1}, {"Nope": 1}])
    for bad in (float("nan"), float("inf"), 1e39):
        with pytest.raises(ValueError, match="Масса"):
            m.set(StopTime=0.2, Mass1=bad)
    with pytest.raises(TypeError):
        m["StopTime"] = "0.2"
    assert m.parameters == before
    assert list(m.parameters) == list(m.labels) and m.labels["Mass1"].startswith("Масса")
    with pytest.raises(ValueError):
        gyrosim.Model("nosuch")
    with pytest.raises(FileNotFoundError):
        gyrosim.Model("pelisond", "/nonexistent/pelisond.dat")
    with pytest.raises(ValueError, match="не файл параметров"):
        gyrosim.Model("pelisond", "/etc/passwd")
    # Refused and diverged runs are statuses with the model's message, as in the run tools.
    m["Step"] = 0
    refused = m.run()
    assert refused.status == "refused" and refused.message and len(refused) == 0
    diverged = gyrosim.Model("veltrami", {"Step": 0.1, "StopTime": 1}).run()
    assert diverged.status == "diverged" and diverged.message and diverged.stopped_at > 0


@pytest.mark.parametrize("script", ["sweep.py", "resonance_fit.py", "monte_carlo.py"])
def test_examples_run(script, tmp_path):
    subprocess.run([sys.executable, os.path.join(EXAMPLES, "python", script), str(tmp_path / "out.png")],
                   check=True, capture_output=True, cwd=tmp_path)
    assert (tmp_path / "out.png").read_bytes().startswith(b"\x89PNG")
