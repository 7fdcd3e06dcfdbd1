# SPDX-License-Identifier: GPL-3.0-or-later
"""The atlas from Python against taonscope-cli atlas: the same files, the same rows, the same refusals."""

import json
import threading

import numpy
import pytest

import taonscope
from conftest import cli

SWEEP = {"base": {"scenario": "cloud", "seed": 1, "side": 8, "kinds": [6, 0, 0]},
         "vary": [{"parameter": "A1", "from": 0.5, "to": 2, "count": 2}], "repetitions": 2,
         "protocol": {"steps": 200, "cool": True}}


def test_an_atlas_run_from_a_process_with_threads_is_the_runners(tmp_path):
    sweep = tmp_path / "small.atlas.json"
    sweep.write_text(json.dumps(SWEEP))
    assert taonscope.atlas.plan(sweep, tmp_path / "python") == 4
    # A thread such as a notebook has: the cells must not be forked from this process.
    waiting = threading.Event()
    thread = threading.Thread(target=waiting.wait)
    thread.start()
    try:
        taonscope.atlas.run(tmp_path / "python", jobs=2)
    finally:
        waiting.set()
        thread.join()
    cli("atlas", "plan", sweep, tmp_path / "cli")
    cli("atlas", "run", tmp_path / "cli", "--jobs", 2)
    for name in ("atlas.csv", "atlas.json"):
        assert (tmp_path / "python" / name).read_bytes() == (tmp_path / "cli" / name).read_bytes()
    oracle = json.loads((tmp_path / "cli" / "atlas.json").read_text(), parse_float=numpy.longdouble)["rows"]
    for row in oracle:
        row.update(row.pop("values"))
        del row["configuration"]
    assert taonscope.atlas.read(tmp_path / "python") == oracle


def test_a_refused_sweep_raises_the_runners_message(tmp_path):
    sweep = tmp_path / "bad.atlas.json"
    sweep.write_text(json.dumps({**SWEEP, "repeats": 2}))
    with pytest.raises(taonscope.AtlasError) as refused:
        taonscope.atlas.plan(sweep, tmp_path / "python")
    assert not (tmp_path / "python").exists()
    assert "taonscope-cli: " + str(refused.value) == cli("atlas", "plan", sweep, tmp_path / "cli", check=False).stderr.strip()
